set(QUB_APP_SOURCES
  app/stereo_main_win.cpp
)
list(APPEND QUB_PURE_SOURCES
  app/alignment.cpp
  app/compose.cpp
  app/save_name.cpp
)

set(QUB_APP_SOURCES
  app/stereo_main_win.cpp
)

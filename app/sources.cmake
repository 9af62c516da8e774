set(QUB_APP_SOURCES
  app/stereo_main_win.cpp
)
# The routine's Windows side; in the library's sources list so that tests can
# link it without the program's QUB_Main.
list(APPEND QUB_WIN_SOURCES
  app/stereo_run_win.cpp
  app/stereo_text_win.cpp
)
list(APPEND QUB_PURE_SOURCES
  app/alignment.cpp
  app/compose.cpp
  app/save_name.cpp
  app/stereo_slots.cpp
)

list(APPEND QUB_PURE_SOURCES
  core/clock.cpp
  core/main_layout.cpp
  core/main_menu.cpp
  core/snap.cpp
  core/status_line.cpp
  core/text_cut.cpp
  core/window_place.cpp
)
list(APPEND QUB_WIN_SOURCES
  core/drop_files_win.cpp
  core/main_commands_win.cpp
  core/main_window_win.cpp
  core/pump_win.cpp
  core/requests_serve_win.cpp
  core/requests_win.cpp
  core/run_control_win.cpp
  core/snap_win.cpp
  core/startup_win.cpp
  core/text_convert_win.cpp
  core/utilities_win.cpp
  core/window_place_win.cpp
  core/winmain_win.cpp
  core/worker_win.cpp
)

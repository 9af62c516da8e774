list(APPEND QUB_PURE_SOURCES
  text/console_words.cpp
  text/decimal.cpp
  text/format.cpp
  text/input_cursor.cpp
  text/key_ring.cpp
  text/text_menu.cpp
  text/window_source.cpp
  text/wrap.cpp
)
list(APPEND QUB_WIN_SOURCES
  text/console_win.cpp
  text/line_input_win.cpp
  text/printf_win.cpp
  text/text_log_win.cpp
  text/text_window_proc_win.cpp
  text/text_window_win.cpp
  text/window_info_win.cpp
)

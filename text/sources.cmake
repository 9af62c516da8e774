list(APPEND QUB_PURE_SOURCES
)
list(APPEND QUB_WIN_SOURCES
  text/text_window_win.cpp
)

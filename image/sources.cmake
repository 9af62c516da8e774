list(APPEND QUB_PURE_SOURCES
)
list(APPEND QUB_WIN_SOURCES
  image/image_clipboard_win.cpp
  image/image_file_win.cpp
  image/image_window_win.cpp
)

list(APPEND QUB_PURE_SOURCES
  image/box_reduce.cpp
  image/buffer_layout.cpp
  image/dib_block.cpp
  image/file_names.cpp
  image/image_keys.cpp
  image/image_title.cpp
  image/palette_reduce.cpp
  image/toolbox_menu.cpp
  image/zoom.cpp
)
list(APPEND QUB_WIN_SOURCES
  image/image_clipboard_win.cpp
  image/gdiplus_codec_win.cpp
  image/image_dialogs_win.cpp
  image/image_display_win.cpp
  image/image_file_win.cpp
  image/image_toolbox_win.cpp
  image/image_window_proc_win.cpp
  image/image_window_win.cpp
  image/image_zoom_win.cpp
  image/picture_read_win.cpp
  image/stereo_file_win.cpp
  image/toolbox_commands_win.cpp
)

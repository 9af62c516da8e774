list(APPEND QUB_PURE_SOURCES
  boxes/button_grid.cpp
  boxes/input_layout.cpp
)
list(APPEND QUB_WIN_SOURCES
  boxes/box_rename_win.cpp
  boxes/box_window_win.cpp
  boxes/button_box_win.cpp
  boxes/input_box_win.cpp
)

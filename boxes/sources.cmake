list(APPEND QUB_PURE_SOURCES
)
list(APPEND QUB_WIN_SOURCES
  boxes/button_box_win.cpp
  boxes/input_box_win.cpp
)

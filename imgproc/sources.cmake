list(APPEND QUB_PURE_SOURCES
  imgproc/analysis_views.cpp
  imgproc/bitmap_text.cpp
  imgproc/circle.cpp
  imgproc/colour_space.cpp
  imgproc/draw.cpp
  imgproc/flood_fill.cpp
  imgproc/font8x14.cpp
  imgproc/pick_geometry.cpp
  imgproc/pick_state.cpp
  imgproc/plot_values.cpp
  imgproc/test_patterns.cpp
  imgproc/transforms.cpp
  imgproc/tt_layout.cpp
)
list(APPEND QUB_WIN_SOURCES
  imgproc/analysis_commands_win.cpp
  imgproc/colour_plot_win.cpp
  imgproc/drawing_commands_win.cpp
  imgproc/image_drawing_win.cpp
  imgproc/image_transforms_win.cpp
  imgproc/pick_tools_win.cpp
  imgproc/picture_commands_win.cpp
  imgproc/truetype_text_win.cpp
)

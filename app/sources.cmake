set(QUB_APP_SOURCES
  app/stereo_main_win.cpp
)
# The routine itself is in the library, so that tests can run it from their
# own QUB_Main; only the program's QUB_Main is outside.
list(APPEND QUB_WIN_SOURCES
  app/stereo_routine_win.cpp
  app/stereo_run_win.cpp
  app/stereo_steps_win.cpp
  app/stereo_text_win.cpp
)
list(APPEND QUB_PURE_SOURCES
  app/alignment.cpp
  app/anaglyph_row.cpp
  app/align_apply.cpp
  app/align_fit.cpp
  app/align_match.cpp
  app/align_pyramid.cpp
  app/auto_align.cpp
  app/compose.cpp
  app/depth_cost.cpp
  app/depth_estimate.cpp
  app/depth_images.cpp
  app/depth_refine.cpp
  app/depth_sgm.cpp
  app/save_name.cpp
  app/stereo_slots.cpp
)

# Picture file formats read and written from their bytes, platform-free.
list(APPEND QUB_PURE_SOURCES
  formats/gif_writer.cpp
  formats/inflate_count.cpp
  formats/jpeg_segments.cpp
  formats/jps.cpp
  formats/mpo_reader.cpp
  formats/mpo_writer.cpp
  formats/picture_probe.cpp
  formats/png_writer.cpp
  formats/probe_bmp.cpp
  formats/probe_emf.cpp
  formats/probe_gif_png.cpp
  formats/probe_jpeg.cpp
  formats/probe_tiff.cpp
  formats/probe_wmf.cpp
  formats/stereo_plan.cpp
)

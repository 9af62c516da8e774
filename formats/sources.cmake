# Picture file formats read and written from their bytes, platform-free.
list(APPEND QUB_PURE_SOURCES
  formats/mpo_reader.cpp
  formats/picture_probe.cpp
  formats/probe_bmp.cpp
  formats/probe_emf.cpp
  formats/probe_gif_png.cpp
  formats/probe_jpeg.cpp
  formats/probe_tiff.cpp
  formats/probe_wmf.cpp
)

# Picture file formats read and written from their bytes, platform-free.
list(APPEND QUB_PURE_SOURCES
)

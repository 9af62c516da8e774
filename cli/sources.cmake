list(APPEND QUB_PURE_SOURCES cli/anaglyph_modes.cpp)

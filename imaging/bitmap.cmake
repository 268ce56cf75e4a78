# Our own streaming bitmap reader, free of Qt so that the browser's build
# reads bitmaps exactly as the native programs do. Included by imaging/ and
# by web/.
add_library(ezedudu_bitmap STATIC
  ${CMAKE_CURRENT_LIST_DIR}/src/bitmap_header.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/bitmap_pixels.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/bitmap_rle.cpp
  ${CMAKE_CURRENT_LIST_DIR}/src/bitmap_rows.cpp)
target_include_directories(ezedudu_bitmap PUBLIC ${CMAKE_CURRENT_LIST_DIR}/src)
target_link_libraries(ezedudu_bitmap PUBLIC ezedudu_engine)
ezedudu_enable_warnings(ezedudu_bitmap)

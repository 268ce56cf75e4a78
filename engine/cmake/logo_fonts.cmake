# The logo fonts in resources/fonts, compiled into the engine as bytes so that
# every program and the page have them without files of their own.
target_include_directories(ezedudu_engine PRIVATE src)
set(font_dir ${CMAKE_CURRENT_LIST_DIR}/../../resources/fonts)
file(GLOB font_files CONFIGURE_DEPENDS ${font_dir}/*.flf ${font_dir}/*.tlf)
set(font_source ${CMAKE_CURRENT_BINARY_DIR}/logo_font_files.cpp)
add_custom_command(OUTPUT ${font_source}
  COMMAND ${CMAKE_COMMAND} -DFONT_DIR=${font_dir} -DOUTPUT=${font_source} -P ${CMAKE_CURRENT_LIST_DIR}/embed_fonts.cmake
  DEPENDS ${font_files} ${CMAKE_CURRENT_LIST_DIR}/embed_fonts.cmake
  COMMENT "Compiling in the logo fonts"
  VERBATIM)
target_sources(ezedudu_engine PRIVATE ${font_source})

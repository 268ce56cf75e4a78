# Writes OUTPUT, a C++ source holding every font file in FONT_DIR (*.flf,
# *.tlf) as bytes, and their names (the file name without the extension) in
# sorted order, for engine/src/logo_font_bundle.cpp to look up.
#   cmake -DFONT_DIR=... -DOUTPUT=... -P embed_fonts.cmake
file(GLOB fonts RELATIVE "${FONT_DIR}" "${FONT_DIR}/*.flf" "${FONT_DIR}/*.tlf")
list(SORT fonts)

set(arrays "")
set(names "")
set(texts "")
foreach(font IN LISTS fonts)
  string(MAKE_C_IDENTIFIER "${font}" identifier)
  get_filename_component(name "${font}" NAME_WE)
  file(READ "${FONT_DIR}/${font}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  # Sixteen bytes a line keeps the generated file readable.
  string(REGEX REPLACE "(('\\\\x..',){16})" "\\1\n    " bytes "${bytes}")
  string(APPEND arrays "constexpr char ${identifier}[] = {\n    ${bytes}};\n")
  string(APPEND names "    \"${name}\",\n")
  string(APPEND texts "    {${identifier}, sizeof ${identifier}},\n")
endforeach()

file(CONFIGURE OUTPUT "${OUTPUT}.new" CONTENT [==[
// Written by engine/cmake/embed_fonts.cmake from resources/fonts at build time.
#include "logo_font_bundle.h"

namespace ezedudu {

namespace {

@arrays@
constexpr std::string_view names[] = {
@names@};

constexpr std::string_view texts[] = {
@texts@};

} // namespace

constinit const std::span<const std::string_view> BundledFontNameList = names;
constinit const std::span<const std::string_view> BundledFontTextList = texts;

} // namespace ezedudu
]==] @ONLY)
# Only a changed font touches the source, so nothing rebuilds without need.
file(COPY_FILE "${OUTPUT}.new" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.new")

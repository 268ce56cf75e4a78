#pragma once

#include "bitmap_header.h"

#include "ezedudu/row_source.h"

#include <cstdint>
#include <istream>

namespace ezedudu {

// Decodes the 8 or 4-bit run-length data that in holds from its current
// position (available bytes up to the end of the file) and gives the rows to
// the sink bottom row first, as they are finished. Pixels the data skips
// take palette entry 0. False when the sink stopped it. Throws
// ezedudu::Error (UnreadablePicture) for data that runs past the end of a
// line or beyond the last line, a delta that leaves the picture, or data
// that ends before the picture is complete.
bool DecodeRunLengthRows(std::istream& in, std::uint64_t available, const BitmapLayout& layout, RowSink& sink);

} // namespace ezedudu

#pragma once

#include "ezedudu/convert.h"
#include "ezedudu/held_picture.h"
#include "ezedudu/row_source.h"

#include <optional>

namespace ezedudu {

// The picture shrunk by a whole factor while its rows stream in: each pixel
// of the result is the average of a factor x factor block (smaller at the
// right and bottom edges), so no more than the small result is ever held.
// Empty when the observer cancels (it is asked after every row); throws what
// the source throws.
std::optional<HeldPicture> ShrinkByBlocks(const RowSource& picture, int factor,
                                          ConversionObserver* observer = nullptr);

} // namespace ezedudu

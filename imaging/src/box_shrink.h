#pragma once

#include "ezedudu/row_source.h"

#include <QImage>

namespace ezedudu {

// The picture shrunk by a whole factor while its rows stream in: each pixel
// of the result is the average of a factor x factor block (smaller at the
// right and bottom edges), so no more than the small result is ever held.
// Throws what the source throws.
QImage ShrinkByBlocks(const RowSource& picture, int factor);

} // namespace ezedudu

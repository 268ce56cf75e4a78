#pragma once

#include <QByteArray>
#include <QIODevice>

namespace ezedudu {

// Whether the picture's data ends before its first picture does, for the
// formats whose Qt decoder hands out the part it read as though it were
// whole, saying nothing: GIF and XBM. Reads the device from its start.
bool DataEndsEarly(QIODevice& device, const QByteArray& format);

} // namespace ezedudu

#pragma once

#include <QString>

namespace ezedudu {

// The folder of the example templates and their pictures: installed with
// the program (share/ezedudu/examples), unpacked beside it (examples), or
// else the source tree's.
QString BundledExamplesFolder();

} // namespace ezedudu

#pragma once

#include <QString>

namespace ezedudu {

// The folder of the example templates and their pictures: installed beside
// the program (share/ezedudu/examples), or else the source tree's.
QString BundledExamplesFolder();

} // namespace ezedudu

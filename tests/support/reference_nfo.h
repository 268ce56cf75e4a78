#pragma once

#include "ezedudu/canvas.h"

#include <string>

namespace ezedudu {

// The NFO text built the plain way: every cell through GetBlockColour,
// ToGreyColour and SplitColour, one Point call per pixel read.
std::string ReferenceNfo(const Canvas& canvas);

// Bytes written as hex pairs ("DB DB B2 0D 0A"), for readable failures.
std::string Hex(const std::string& bytes);

} // namespace ezedudu

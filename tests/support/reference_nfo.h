#pragma once

#include "ezedudu/canvas.h"
#include "ezedudu/page.h"

#include <initializer_list>
#include <optional>
#include <string_view>

#include <string>

namespace ezedudu {

// The NFO text built the plain way: every cell through GetBlockColour,
// ToGreyColour and SplitColour, one Point call per pixel read.
std::string ReferenceNfo(const Canvas& canvas);

// The NFO file of the converter's art lines in the default layout (an
// empty line and the closing line after them); empty for no art.
std::optional<std::string> NfoOf(std::optional<Page> art);

// A page of these lines.
Page PageOf(std::initializer_list<std::string_view> lines);

// Bytes written as hex pairs ("DB DB B2 0D 0A"), for readable failures.
std::string Hex(const std::string& bytes);

} // namespace ezedudu

#pragma once

#include "ezedudu/canvas.h"
#include "ezedudu/colour.h"

#include <cstdint>

namespace ezedudu {

// The colour sampling routines: pixels to brightness, one Point call per
// pixel read. They are the plain reference of the conversion: the fast
// streaming converter (ConvertRows) shares only GreyLevel with them, and the
// tests check its every byte against a walk of the grid through them.
namespace basMain {

// Splits a colour into its channel bytes. Only the low three bytes count, so
// OutsidePicture (-1) splits to white.
void SplitColour(ColourTriple& triple, ColourValue colour);

// The grey level (0-255) of the given channels:
// floor((green * 0.59 + red * 0.3) + blue * 0.11) in double precision, in that
// order. The order and rounding are part of the output: a uniform grey of 128
// gives 127 and one of 210 gives 209.
// Takes channels as int, 0-255 each, so that the conversion's inner loop can
// run it over whole rows of cells at once.
inline std::uint8_t GreyLevel(int red, int green, int blue)
{
    const double luma = (double(green) * 0.59 + double(red) * 0.3) + double(blue) * 0.11;
    // The sum is never negative, so truncation is the floor.
    return static_cast<std::uint8_t>(static_cast<int>(luma));
}

// The grey colour of equal luma: GreyLevel in all three channels.
ColourValue ToGreyColour(ColourValue colour);

// The truncated average of the block from (x, y) to (x + w, y + h), both ends
// inclusive, read row by row through canvas.Point; positions outside the
// picture count as white. The divisor is (w + 1) * (h + 1), the number of
// positions read when w and h are whole numbers >= 0.
ColourValue GetBlockColour(const Canvas& canvas, float x, float y, float w, float h);

} // namespace basMain

} // namespace ezedudu

#include "ezedudu/resample.h"

#include "ezedudu/pixel_limit.h"

#include <algorithm>

namespace ezedudu {
namespace {

// How much of source pixel `from` falls in target pixel `to`, both counted
// in units of 1 / (source * target) of the side: source pixel i covers
// [i * target, (i + 1) * target), target pixel j covers [j * source,
// (j + 1) * source).
struct Span {
    std::int64_t first; // the first source pixel touched
    std::vector<std::int64_t> weights;
};

Span SpanOf(std::int64_t j, std::int64_t source, std::int64_t target)
{
    const std::int64_t start = j * source;
    const std::int64_t end = start + source;
    Span span{start / target, {}};
    for (std::int64_t i = span.first; i * target < end; ++i)
        span.weights.push_back(std::min(end, (i + 1) * target) - std::max(start, i * target));
    return span;
}

constexpr int Channels = 3;

std::uint32_t Channel(std::uint32_t pixel, int channel)
{
    return (pixel >> (16 - 8 * channel)) & 0xFF;
}

} // namespace

std::vector<std::uint32_t> ResampleArea(const Canvas& picture, std::int64_t cropWidth, std::int64_t cropHeight,
                                        std::int64_t width, std::int64_t height)
{
    if (width > 0 && height > 0)
        CheckHasPixels(cropWidth, cropHeight); // every new pixel averages a share of them
    // Every row uses every column's span; each row's own is made as it comes,
    // so that art of millions of rows holds no span for each.
    std::vector<Span> columns;
    columns.reserve(static_cast<std::size_t>(width));
    for (std::int64_t x = 0; x < width; ++x)
        columns.push_back(SpanOf(x, cropWidth, width));
    // Every target pixel gathers weights that add up to cropWidth * cropHeight.
    const std::uint64_t total = std::uint64_t(cropWidth) * std::uint64_t(cropHeight);
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    std::vector<std::uint64_t> sums(static_cast<std::size_t>(width * Channels));
    for (std::int64_t y = 0; y < height; ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const Span down = SpanOf(y, cropHeight, height);
        for (std::size_t r = 0; r < down.weights.size(); ++r) {
            const std::uint32_t* line = picture.Row(down.first + std::int64_t(r));
            for (std::int64_t x = 0; x < width; ++x) {
                const Span& along = columns[static_cast<std::size_t>(x)];
                for (int c = 0; c < Channels; ++c) {
                    std::uint64_t sum = 0;
                    for (std::size_t i = 0; i < along.weights.size(); ++i)
                        sum += std::uint64_t(along.weights[i]) * Channel(line[along.first + std::int64_t(i)], c);
                    sums[static_cast<std::size_t>(x * Channels + c)] += sum * std::uint64_t(down.weights[r]);
                }
            }
        }
        for (std::int64_t x = 0; x < width; ++x) {
            std::uint32_t pixel = 0xFF000000;
            for (int c = 0; c < Channels; ++c)
                pixel |= std::uint32_t((sums[static_cast<std::size_t>(x * Channels + c)] + total / 2) / total)
                         << (16 - 8 * c);
            pixels[static_cast<std::size_t>(y * width + x)] = pixel;
        }
    }
    return pixels;
}

} // namespace ezedudu

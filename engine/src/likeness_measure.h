#pragma once

#include "ezedudu/glyph_ramp.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ezedudu {

// Glyph levels run from ink 0 to paper 240; the viewer shows paper white.
inline constexpr double ShownPerLevel = 255.0 / GlyphBands.back().level;
// A shade's step as the viewer shows it.
inline constexpr double ShownShadeStep = (GlyphBands[1].level - GlyphBands[0].level) * ShownPerLevel;

// Samples from left to right and top to bottom, those two outside.
struct SampleRect {
    std::int64_t left, top, right, bottom;

    SampleRect Grown(std::int64_t across, std::int64_t down) const
    {
        return {left - across, top - down, right + across, bottom + down};
    }
    SampleRect Within(std::int64_t width, std::int64_t height) const;
};

// How alike fitted art looks to its picture from a little away from the
// screen: the structural similarity (SSIM; Wang, Bovik, Sheikh and
// Simoncelli 2004) of the two, both blurred by a Gaussian of 1.5 pixels of
// an 8 x 16 cell, measured in Gaussian windows of the same width. It weighs
// local contrast and structure as well as tone. It works on the art's
// samples, 4 x 4 a cell, each 2 pixels of the viewer's cell wide and 4
// high, and its sums run in a fixed order, so every platform measures alike.
class LikenessMeasure {
public:
    // The Gaussian of 1.5 pixels spans 0.75 samples across and 0.375 down.
    // Its weights from the centre out, normalised, cut where they fall below
    // a ten-thousandth.
    static constexpr std::array<double, 4> AcrossWeights = {0.5319073938, 0.2186736670, 0.0151942011, 0.0001784351};
    static constexpr std::array<double, 2> DownWeights = {0.9459565546, 0.0270217227};
    static constexpr int AcrossReach = int(AcrossWeights.size()) - 1;
    static constexpr int DownReach = int(DownWeights.size()) - 1;

    // The Gaussian's weight of the sample dx across and dy down from its centre.
    static constexpr double Weight(int dx, int dy)
    {
        return DownWeights[std::size_t(dy < 0 ? -dy : dy)] * AcrossWeights[std::size_t(dx < 0 ? -dx : dx)];
    }

    // Where a measure sums its windows: a row of the blurred art (plain,
    // squared, times the picture), then the sums across of each row. Each
    // thread that measures has its own.
    struct Sums {
        std::vector<double> paddedArt, paddedSquare, paddedProduct;
        std::vector<double> rowMean, rowSquare, rowProduct;
    };

    // picture holds width x height levels as the viewer shows them, 0-255.
    LikenessMeasure(const std::vector<double>& picture, std::int64_t width, std::int64_t height);

    // image (width x height) blurred over area, into blurred; samples past
    // the picture's edge take the edge's own.
    void Blur(const std::vector<double>& image, SampleRect area, std::vector<double>& blurred) const;

    // SSIM of the blurred art against the blurred picture at each sample of
    // area, into out (row by row over area) unless it is null; returns their
    // sum. The windows are summed across, then down, so that a sample's
    // value is the same whatever area it is measured in.
    double Measure(const std::vector<double>& blurred, SampleRect area, double* out, Sums& sums) const;

    // Measure's two steps, for a caller that changes only some rows: the
    // window sums across of rows first to last (outside) of area grown by
    // DownReach, into sums; then SSIM from the sums across of every row.
    void SumAcross(const std::vector<double>& blurred, SampleRect area, std::int64_t first, std::int64_t last,
                   Sums& sums) const;
    double SumDown(SampleRect area, double* out, const Sums& sums) const;

private:
    std::size_t Index(std::int64_t x, std::int64_t y) const { return static_cast<std::size_t>(y * width + x); }

    // Calls visit(index, weight) for each sample of the Gaussian around x, y;
    // samples past the picture's edge take the edge's own.
    template <typename Visit>
    void ForWindow(std::int64_t x, std::int64_t y, Visit&& visit) const;

    std::int64_t width, height;
    std::vector<double> blurredPicture, pictureMean, pictureVariance; // the last two in each window
};

} // namespace ezedudu

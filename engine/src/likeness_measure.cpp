#include "likeness_measure.h"

#include <algorithm>
#include <cstdlib>

namespace ezedudu {
namespace {

// SSIM's constants for levels of 0-255: (0.01 x 255)^2 and (0.03 x 255)^2.
constexpr double C1 = 6.5025;
constexpr double C2 = 58.5225;

// SSIM compares tones by their ratio, which near black would trade a dark
// texture's ink for a lighter shade: its tones are compared as though both
// were a shade step lighter.
constexpr double DarkLift = ShownShadeStep;

} // namespace

SampleRect SampleRect::Within(std::int64_t width, std::int64_t height) const
{
    return {std::max<std::int64_t>(left, 0), std::max<std::int64_t>(top, 0), std::min(right, width),
            std::min(bottom, height)};
}

template <typename Visit>
void LikenessMeasure::ForWindow(std::int64_t x, std::int64_t y, Visit&& visit) const
{
    for (int dy = -DownReach; dy <= DownReach; ++dy) {
        const std::int64_t sy = std::clamp<std::int64_t>(y + dy, 0, height - 1);
        for (int dx = -AcrossReach; dx <= AcrossReach; ++dx) {
            const std::int64_t sx = std::clamp<std::int64_t>(x + dx, 0, width - 1);
            visit(Index(sx, sy), Weight(dx, dy));
        }
    }
}

// The blurred picture, and its mean and variance in each window.
LikenessMeasure::LikenessMeasure(const std::vector<double>& picture, std::int64_t pictureWidth,
                                 std::int64_t pictureHeight)
    : width(pictureWidth), height(pictureHeight)
{
    blurredPicture.resize(picture.size());
    Blur(picture, {0, 0, width, height}, blurredPicture);
    pictureMean.resize(picture.size());
    pictureVariance.resize(picture.size());
    for (std::int64_t y = 0; y < height; ++y)
        for (std::int64_t x = 0; x < width; ++x) {
            double mean = 0, square = 0;
            ForWindow(x, y, [&](std::size_t at, double weight) {
                mean += weight * blurredPicture[at];
                square += weight * blurredPicture[at] * blurredPicture[at];
            });
            pictureMean[Index(x, y)] = mean;
            pictureVariance[Index(x, y)] = square - mean * mean;
        }
}

void LikenessMeasure::Blur(const std::vector<double>& image, SampleRect area, std::vector<double>& blurred) const
{
    for (std::int64_t y = area.top; y < area.bottom; ++y)
        for (std::int64_t x = area.left; x < area.right; ++x) {
            double sum = 0;
            ForWindow(x, y, [&](std::size_t at, double weight) { sum += weight * image[at]; });
            blurred[Index(x, y)] = sum;
        }
}

double LikenessMeasure::Measure(const std::vector<double>& blurred, SampleRect area, double* out, Sums& sums) const
{
    SumAcross(blurred, area, area.top - DownReach, area.bottom + DownReach, sums);
    return SumDown(area, out, sums);
}

void LikenessMeasure::SumAcross(const std::vector<double>& blurred, SampleRect area, std::int64_t first,
                                std::int64_t last, Sums& sums) const
{
    auto& [paddedArt, paddedSquare, paddedProduct, rowMean, rowSquare, rowProduct] = sums;
    const std::int64_t across = area.right - area.left;
    const std::int64_t top = area.top - DownReach;
    const std::int64_t padded = across + 2 * AcrossReach;
    const auto size = static_cast<std::size_t>((area.bottom - area.top + 2 * DownReach) * across);
    rowMean.resize(size);
    rowSquare.resize(size);
    rowProduct.resize(size);
    paddedArt.resize(static_cast<std::size_t>(padded));
    paddedSquare.resize(paddedArt.size());
    paddedProduct.resize(paddedArt.size());
    for (std::int64_t y = first; y < last; ++y) {
        // The row's values, the edge's own repeated past it, so that the
        // sums across run without a test.
        const std::int64_t sy = std::clamp<std::int64_t>(y, 0, height - 1);
        for (std::int64_t x = 0; x < padded; ++x) {
            const std::size_t i = Index(std::clamp<std::int64_t>(area.left - AcrossReach + x, 0, width - 1), sy);
            paddedArt[std::size_t(x)] = blurred[i];
            paddedSquare[std::size_t(x)] = blurred[i] * blurred[i];
            paddedProduct[std::size_t(x)] = blurred[i] * blurredPicture[i];
        }
        const auto row = static_cast<std::size_t>((y - top) * across);
        for (std::size_t x = 0; x < std::size_t(across); ++x) {
            double mean = 0, square = 0, product = 0;
            for (std::size_t from = 0; from <= 2 * AcrossReach; ++from) {
                const double weight = AcrossWeights[std::size_t(std::abs(int(from) - AcrossReach))];
                mean += weight * paddedArt[x + from];
                square += weight * paddedSquare[x + from];
                product += weight * paddedProduct[x + from];
            }
            rowMean[row + x] = mean;
            rowSquare[row + x] = square;
            rowProduct[row + x] = product;
        }
    }
}

double LikenessMeasure::SumDown(SampleRect area, double* out, const Sums& sums) const
{
    const std::int64_t across = area.right - area.left;
    const std::int64_t top = area.top - DownReach;
    double total = 0;
    for (std::int64_t y = area.top; y < area.bottom; ++y)
        for (std::int64_t x = area.left; x < area.right; ++x) {
            double mean = 0, square = 0, product = 0;
            for (int dy = -DownReach; dy <= DownReach; ++dy) {
                // Rows past the picture's edge take the edge's own.
                const std::int64_t sy = std::clamp<std::int64_t>(y + dy, 0, height - 1);
                const auto at = static_cast<std::size_t>((sy - top) * across + (x - area.left));
                const double weight = DownWeights[std::size_t(std::abs(dy))];
                mean += weight * sums.rowMean[at];
                square += weight * sums.rowSquare[at];
                product += weight * sums.rowProduct[at];
            }
            const std::size_t i = Index(x, y);
            const double covariance = product - mean * pictureMean[i];
            const double a = mean + DarkLift, b = pictureMean[i] + DarkLift;
            const double similarity = ((2 * a * b + C1) * (2 * covariance + C2)) /
                                      ((a * a + b * b + C1) * (square - mean * mean + pictureVariance[i] + C2));
            if (out)
                *out++ = similarity;
            total += similarity;
        }
    return total;
}

} // namespace ezedudu

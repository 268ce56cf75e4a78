#include "likeness_refinement.h"

#include "ezedudu/decode_scale.h"
#include "ezedudu/glyph_ramp.h"
#include "worker_threads.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cmath>
#include <numeric>

namespace ezedudu {
namespace {

// A cell of fitted art is 4 x 4 samples, each 2 pixels of the viewer's cell
// wide and 4 high: a Gaussian of 1.5 pixels spans 0.75 samples across and
// 0.375 down. Its weights from the centre out, normalised, cut where they
// fall below a ten-thousandth.
constexpr std::array<double, 4> AcrossWeights = {0.5319073938, 0.2186736670, 0.0151942011, 0.0001784351};
constexpr std::array<double, 2> DownWeights = {0.9459565546, 0.0270217227};
constexpr int AcrossReach = int(AcrossWeights.size()) - 1;
constexpr int DownReach = int(DownWeights.size()) - 1;

// The Gaussian's weight of the sample dx across and dy down from its centre.
constexpr double Weight(int dx, int dy)
{
    return DownWeights[std::size_t(dy < 0 ? -dy : dy)] * AcrossWeights[std::size_t(dx < 0 ? -dx : dx)];
}
constexpr int CellSide = FittedSamples;

// SSIM's constants for levels of 0-255: (0.01 x 255)^2 and (0.03 x 255)^2.
constexpr double C1 = 6.5025;
constexpr double C2 = 58.5225;

// Glyph levels run from ink 0 to paper 240; the viewer shows paper white.
constexpr double ShownPerLevel = 255.0 / GlyphBands.back().level;
constexpr double ShadeStep = (GlyphBands[1].level - GlyphBands[0].level) * ShownPerLevel;
// A cell may take a glyph whose mean is within two shade steps of its own:
// a half block over a cell of small print, say, whose lines it follows.
constexpr double ToneReach = 2 * ShadeStep;
// SSIM compares tones by their ratio, which near black would trade a dark
// texture's ink for a lighter shade: its tones are compared as though both
// were a shade step lighter.
constexpr double DarkLift = ShadeStep;
// A change is made only where it gains more than rounding could.
constexpr double Gain = 1e-9;

// Passes over the art; a later one looks only where a cell near changed.
constexpr int Passes = 2;
// Each pass looks at stripes of this many rows of cells, first every other
// one, then the rest, those of a kind side by side on threads. A cell's look
// reads the blurred art up to three of the blur's reaches beyond the cell
// (its measure's windows over the blur of its change), so no two stripes
// looked at together meet.
constexpr std::int64_t StripeRows = 4;
static_assert(StripeRows * CellSide > 6 * DownReach);
// Art of fewer cells is looked at on one thread: more would cost more
// than they save.
constexpr std::size_t ThreadedCells = 1000;
// The cells whose change reaches what a cell's look reads, across and down:
// the look reads three of the blur's reaches beyond its cell, a change
// blurs one beyond its own.
constexpr std::int64_t NearCols = (4 * AcrossReach + CellSide - 1) / CellSide;
constexpr std::int64_t NearRows = (4 * DownReach + CellSide - 1) / CellSide;
// The glyphs tried in a cell: the nearest by least squares of those that
// suit it.
constexpr std::size_t Candidates = 4;

// A cell whose darkest or lightest sample stands this far from its mean
// holds a stroke.
constexpr double StrokeContrast = ShapeChooser::FeatureContrast;

struct Rect {
    std::int64_t left, top, right, bottom; // right and bottom outside

    Rect Grown(std::int64_t across, std::int64_t down) const
    {
        return {left - across, top - down, right + across, bottom + down};
    }
    Rect Within(std::int64_t width, std::int64_t height) const
    {
        return {std::max<std::int64_t>(left, 0), std::max<std::int64_t>(top, 0), std::min(right, width),
                std::min(bottom, height)};
    }
};

// A cell's mean level in the picture, and its darkest and lightest sample.
struct CellTone {
    double mean = 0, darkest = 0, lightest = 0;
};

// Where a measure of likeness sums its windows: a row of the blurred art
// (plain, squared, times the picture), then the sums across of each row.
struct WindowSums {
    std::vector<double> paddedArt, paddedSquare, paddedProduct;
    std::vector<double> rowMean, rowSquare, rowProduct;
};

class Refiner {
public:
    Refiner(const LevelGrid& levels, const std::vector<CellShape>& cellShapes, std::vector<std::size_t>& chosen,
            const std::vector<LineToShow>& linesToShow)
        : width(levels.width), height(levels.height), cols(width / CellSide), rows(height / CellSide),
          shapes(cellShapes), cells(chosen), lines(linesToShow), picture(levels.levels.begin(), levels.levels.end())
    {
        ShowShapes();
        BlurShapes();
        MeasureCells();
        MeasurePicture();
        art.resize(picture.size());
        for (std::int64_t row = 0; row < rows; ++row)
            for (std::int64_t col = 0; col < cols; ++col)
                Draw(col, row, cells[Cell(col, row)]);
        const Rect all{0, 0, width, height};
        blurredArt.resize(picture.size());
        Blur(art, all, blurredArt);
        trial = blurredArt;
        likeness.resize(picture.size());
        WindowSums sums;
        Measure(blurredArt, all, likeness.data(), sums);
    }

    void Run(int mostThreads)
    {
        changedAt.assign(cells.size(), -1);
        lookedAt.assign(cells.size(), -1);
        const std::int64_t stripes = (rows + StripeRows - 1) / StripeRows;
        const int threads =
            cells.size() < ThreadedCells ? 1 : int(std::clamp<std::int64_t>((stripes + 1) / 2, 1, mostThreads));
        std::vector<WindowSums> sums(static_cast<std::size_t>(threads));
        for (int pass = 0; pass < Passes; ++pass)
            for (int parity = 0; parity < 2; ++parity) {
                std::atomic<std::int64_t> next = parity;
                OnThreads(threads, [&](int thread) {
                    for (std::int64_t stripe; (stripe = next.fetch_add(2)) < stripes;)
                        LookAtStripe(stripe, pass, parity, sums[static_cast<std::size_t>(thread)]);
                });
            }
    }

private:
    void LookAtStripe(std::int64_t stripe, int pass, int parity, WindowSums& sums)
    {
        for (std::int64_t row = stripe * StripeRows; row < std::min(rows, (stripe + 1) * StripeRows); ++row)
            for (std::int64_t col = 0; col < cols; ++col) {
                const std::size_t cell = Cell(col, row);
                if (pass > 0 && !ChangedNear(col, row))
                    continue;
                // When the cell is looked at, in the order of the passes and
                // stripes, whichever thread looks.
                const std::int64_t step = ((pass * 2 + parity) * rows + row) * cols + col;
                lookedAt[cell] = step;
                if (Improve(col, row, sums))
                    changedAt[cell] = step;
            }
    }

    // Whether a cell near changed since the cell was last looked at: a
    // later pass looks again only there.
    bool ChangedNear(std::int64_t col, std::int64_t row) const
    {
        for (std::int64_t y = std::max<std::int64_t>(row - NearRows, 0); y <= std::min(row + NearRows, rows - 1); ++y)
            for (std::int64_t x = std::max<std::int64_t>(col - NearCols, 0); x <= std::min(col + NearCols, cols - 1);
                 ++x)
                if (changedAt[Cell(x, y)] > lookedAt[Cell(col, row)])
                    return true;
        return false;
    }

    void ShowShapes()
    {
        for (const CellShape& shape : shapes) {
            std::vector<double>& samples = shown.emplace_back();
            for (const int level : shape.levels)
                samples.push_back(level * ShownPerLevel);
            shownMean.push_back(std::accumulate(samples.begin(), samples.end(), 0.0) / double(samples.size()));
            const auto all = [&](int level) {
                return std::all_of(shape.levels.begin(), shape.levels.end(), [&](int l) { return l == level; });
            };
            blank.push_back(all(GlyphBands.back().level));
            solid.push_back(all(GlyphBands.front().level));
        }
    }

    // Each shape blurred alone over its cell and the samples around that
    // its blur reaches: away from the picture's edges, what the glyph adds
    // to the blurred art.
    void BlurShapes()
    {
        for (const std::vector<double>& samples : shown) {
            std::vector<double>& blurred = blurredShapes.emplace_back();
            for (int y = -DownReach; y < CellSide + DownReach; ++y)
                for (int x = -AcrossReach; x < CellSide + AcrossReach; ++x) {
                    double sum = 0;
                    for (int dy = -DownReach; dy <= DownReach; ++dy)
                        for (int dx = -AcrossReach; dx <= AcrossReach; ++dx)
                            if (x + dx >= 0 && x + dx < CellSide && y + dy >= 0 && y + dy < CellSide)
                                sum += Weight(dx, dy) * samples[std::size_t((y + dy) * CellSide + x + dx)];
                    blurred.push_back(sum);
                }
        }
    }

    void MeasureCells()
    {
        cellTones.resize(cells.size());
        for (std::int64_t row = 0; row < rows; ++row)
            for (std::int64_t col = 0; col < cols; ++col) {
                CellTone& tone = cellTones[Cell(col, row)];
                tone.darkest = 255;
                double sum = 0;
                for (std::int64_t y = 0; y < CellSide; ++y)
                    for (std::int64_t x = 0; x < CellSide; ++x) {
                        const double level = picture[Index(col * CellSide + x, row * CellSide + y)];
                        sum += level;
                        tone.darkest = std::min(tone.darkest, level);
                        tone.lightest = std::max(tone.lightest, level);
                    }
                tone.mean = sum / (CellSide * CellSide);
            }
    }

    // The blurred picture, and its mean and variance in each window.
    void MeasurePicture()
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

    std::size_t Index(std::int64_t x, std::int64_t y) const { return static_cast<std::size_t>(y * width + x); }
    std::size_t Cell(std::int64_t col, std::int64_t row) const { return static_cast<std::size_t>(row * cols + col); }

    // Calls visit(index, weight) for each sample of the Gaussian around x, y;
    // samples past the picture's edge take the edge's own.
    template <typename Visit>
    void ForWindow(std::int64_t x, std::int64_t y, Visit&& visit) const
    {
        for (int dy = -DownReach; dy <= DownReach; ++dy) {
            const std::int64_t sy = std::clamp<std::int64_t>(y + dy, 0, height - 1);
            for (int dx = -AcrossReach; dx <= AcrossReach; ++dx) {
                const std::int64_t sx = std::clamp<std::int64_t>(x + dx, 0, width - 1);
                visit(Index(sx, sy), Weight(dx, dy));
            }
        }
    }

    void Blur(const std::vector<double>& image, Rect area, std::vector<double>& blurred) const
    {
        for (std::int64_t y = area.top; y < area.bottom; ++y)
            for (std::int64_t x = area.left; x < area.right; ++x) {
                double sum = 0;
                ForWindow(x, y, [&](std::size_t at, double weight) { sum += weight * image[at]; });
                blurred[Index(x, y)] = sum;
            }
    }

    // SSIM of the blurred art against the blurred picture at each sample of
    // area, into out (row by row over area); returns their sum. The windows
    // are summed across, then down, so that a sample's value is the same
    // whatever area it is measured in.
    double Measure(const std::vector<double>& blurred, Rect area, double* out, WindowSums& sums) const
    {
        SumAcross(blurred, area, area.top - DownReach, area.bottom + DownReach, sums);
        return SumDown(area, out, sums);
    }

    // The window sums across of the blurred art, its square and its product
    // with the blurred picture, for rows first to last (outside) of area
    // grown by DownReach, into sums.
    void SumAcross(const std::vector<double>& blurred, Rect area, std::int64_t first, std::int64_t last,
                   WindowSums& sums) const
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

    // SSIM at each sample of area from the sums across of every row its
    // windows reach; as Measure.
    double SumDown(Rect area, double* out, const WindowSums& sums) const
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

    void Draw(std::int64_t col, std::int64_t row, std::size_t shape)
    {
        for (std::int64_t y = 0; y < CellSide; ++y)
            for (std::int64_t x = 0; x < CellSide; ++x)
                art[Index(col * CellSide + x, row * CellSide + y)] = shown[shape][std::size_t(y * CellSide + x)];
    }

    // A glyph near the cell's tone that shows the line running through the
    // cell, if one does, and where a stroke runs through it still shows some
    // of it: no blank paper over a dark stroke that the current glyph inks,
    // no solid ink over a light one.
    bool Suits(std::size_t shape, std::size_t current, std::size_t cell) const
    {
        const CellTone& tone = cellTones[cell];
        if (std::abs(shownMean[shape] - tone.mean) > ToneReach || !lines[cell].ShownBy(shapes[shape]))
            return false;
        if (tone.mean - tone.darkest >= StrokeContrast && blank[shape] && !blank[current])
            return false;
        return !(tone.lightest - tone.mean >= StrokeContrast && solid[shape] && !solid[current]);
    }

    // The glyphs that suit the cell, nearest its samples first (least
    // squares, ties to the earlier shape), at most Candidates of them.
    std::vector<std::size_t> CandidatesFor(std::int64_t col, std::int64_t row, std::size_t was) const
    {
        std::vector<std::pair<double, std::size_t>> suiting;
        for (std::size_t shape = 0; shape < shown.size(); ++shape) {
            if (shape == was || !Suits(shape, was, Cell(col, row)))
                continue;
            double error = 0;
            for (std::int64_t y = 0; y < CellSide; ++y)
                for (std::int64_t x = 0; x < CellSide; ++x) {
                    const double difference = shown[shape][std::size_t(y * CellSide + x)] -
                                              picture[Index(col * CellSide + x, row * CellSide + y)];
                    error += difference * difference;
                }
            suiting.emplace_back(error, shape);
        }
        std::sort(suiting.begin(), suiting.end());
        std::vector<std::size_t> chosen;
        for (std::size_t i = 0; i < std::min(suiting.size(), Candidates); ++i)
            chosen.push_back(suiting[i].second);
        return chosen;
    }

    // Tries the glyphs that suit the cell, keeping the one that makes its
    // surroundings most like the picture; whether the cell changed.
    bool Improve(std::int64_t col, std::int64_t row, WindowSums& sums)
    {
        const Rect cell{col * CellSide, row * CellSide, (col + 1) * CellSide, (row + 1) * CellSide};
        // Where the blurred art changes, and where its likeness does.
        const Rect changed = cell.Grown(AcrossReach, DownReach).Within(width, height);
        const Rect measured = changed.Grown(AcrossReach, DownReach).Within(width, height);
        double bestSum = 0;
        for (std::int64_t y = measured.top; y < measured.bottom; ++y)
            for (std::int64_t x = measured.left; x < measured.right; ++x)
                bestSum += likeness[Index(x, y)];
        const std::size_t was = cells[Cell(col, row)];
        std::size_t best = was;
        // A glyph on trial changes the sums across of the rows it blurs into
        // alone; the others' are summed once.
        const std::vector<std::size_t> candidates = CandidatesFor(col, row, was);
        if (!candidates.empty())
            SumAcross(blurredArt, measured, measured.top - DownReach, measured.bottom + DownReach, sums);
        for (const std::size_t shape : candidates) {
            BlurChange(col, row, was, shape, changed, trial);
            SumAcross(trial, measured, changed.top, changed.bottom, sums);
            const double sum = SumDown(measured, nullptr, sums);
            if (sum > bestSum + Gain) {
                bestSum = sum;
                best = shape;
            }
        }
        if (best != was) {
            cells[Cell(col, row)] = best;
            BlurChange(col, row, was, best, changed, blurredArt);
            Remeasure(measured, sums);
        } else {
            Draw(col, row, was);
        }
        for (std::int64_t y = changed.top; y < changed.bottom; ++y)
            for (std::int64_t x = changed.left; x < changed.right; ++x)
                trial[Index(x, y)] = blurredArt[Index(x, y)];
        return best != was;
    }

    // The blurred art over changed, the cell's glyph changed from was to
    // shape, into blurred; shape stays drawn in art.
    void BlurChange(std::int64_t col, std::int64_t row, std::size_t was, std::size_t shape, Rect changed,
                    std::vector<double>& blurred)
    {
        Draw(col, row, shape);
        // On the picture's edge the blur takes the edge's own samples again.
        if (col == 0 || row == 0 || col == cols - 1 || row == rows - 1) {
            Blur(art, changed, blurred);
            return;
        }
        const std::vector<double>& before = blurredShapes[was];
        const std::vector<double>& after = blurredShapes[shape];
        std::size_t k = 0;
        for (std::int64_t y = changed.top; y < changed.bottom; ++y)
            for (std::int64_t x = changed.left; x < changed.right; ++x, ++k)
                blurred[Index(x, y)] = blurredArt[Index(x, y)] - before[k] + after[k];
    }

    void Remeasure(Rect measured, WindowSums& sums)
    {
        std::vector<double> measuredLikeness(static_cast<std::size_t>((measured.right - measured.left) *
                                                                      (measured.bottom - measured.top)));
        Measure(blurredArt, measured, measuredLikeness.data(), sums);
        auto next = measuredLikeness.begin();
        for (std::int64_t y = measured.top; y < measured.bottom; ++y)
            for (std::int64_t x = measured.left; x < measured.right; ++x)
                likeness[Index(x, y)] = *next++;
    }

    const std::int64_t width, height, cols, rows;
    const std::vector<CellShape>& shapes;
    std::vector<std::size_t>& cells;
    const std::vector<LineToShow>& lines;
    const std::vector<double> picture; // the levels as the cells see them
    std::vector<std::vector<double>> shown; // each shape's samples as the viewer shows them, 0-255
    std::vector<double> shownMean;
    std::vector<std::vector<double>> blurredShapes; // over a cell and its blur's reach, row by row
    std::vector<CellTone> cellTones;
    std::vector<bool> blank, solid; // shapes without ink, and all ink
    std::vector<double> blurredPicture, pictureMean, pictureVariance;
    std::vector<double> art, blurredArt, likeness;
    std::vector<double> trial; // the blurred art with a glyph on trial
    // When each cell was last looked at and last changed, by its step in the
    // order of passes and stripes.
    std::vector<std::int64_t> lookedAt, changedAt;
};

} // namespace

void RefineForLikeness(const LevelGrid& levels, const std::vector<CellShape>& shapes, std::vector<std::size_t>& cells,
                       const std::vector<LineToShow>& lines, int threads)
{
    if (cells.empty())
        return;
    Refiner(levels, shapes, cells, lines).Run(threads);
}

} // namespace ezedudu

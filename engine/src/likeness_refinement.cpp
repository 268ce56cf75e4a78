#include "likeness_refinement.h"

#include "ezedudu/decode_scale.h"
#include "ezedudu/glyph_ramp.h"
#include "likeness_measure.h"
#include "worker_threads.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numeric>

namespace ezedudu {
namespace {

constexpr int CellSide = FittedSamples;
constexpr int AcrossReach = LikenessMeasure::AcrossReach;
constexpr int DownReach = LikenessMeasure::DownReach;

// A cell may take a glyph whose mean is within two shade steps of its own:
// a half block over a cell of small print, say, whose lines it follows.
constexpr double ToneReach = 2 * ShownShadeStep;
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

// A cell's mean level in the picture, and its darkest and lightest sample.
struct CellTone {
    double mean = 0, darkest = 0, lightest = 0;
};

class Refiner {
public:
    Refiner(const LevelGrid& levels, const std::vector<CellShape>& cellShapes, std::vector<std::size_t>& chosen,
            const std::vector<LineToShow>& linesToShow)
        : width(levels.width), height(levels.height), cols(width / CellSide), rows(height / CellSide),
          shapes(cellShapes), cells(chosen), lines(linesToShow), picture(levels.levels.begin(), levels.levels.end()),
          measure(picture, width, height)
    {
        ShowShapes();
        BlurShapes();
        MeasureCells();
        art.resize(picture.size());
        for (std::int64_t row = 0; row < rows; ++row)
            for (std::int64_t col = 0; col < cols; ++col)
                Draw(col, row, cells[Cell(col, row)]);
        const SampleRect all{0, 0, width, height};
        blurredArt.resize(picture.size());
        measure.Blur(art, all, blurredArt);
        trial = blurredArt;
        likeness.resize(picture.size());
        LikenessMeasure::Sums sums;
        measure.Measure(blurredArt, all, likeness.data(), sums);
    }

    void Run(int mostThreads)
    {
        changedAt.assign(cells.size(), -1);
        lookedAt.assign(cells.size(), -1);
        const std::int64_t stripes = (rows + StripeRows - 1) / StripeRows;
        const int threads =
            cells.size() < ThreadedCells ? 1 : int(std::clamp<std::int64_t>((stripes + 1) / 2, 1, mostThreads));
        std::vector<LikenessMeasure::Sums> sums(static_cast<std::size_t>(threads));
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
    void LookAtStripe(std::int64_t stripe, int pass, int parity, LikenessMeasure::Sums& sums)
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
                                sum += LikenessMeasure::Weight(dx, dy) * samples[std::size_t((y + dy) * CellSide + x + dx)];
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

    std::size_t Index(std::int64_t x, std::int64_t y) const { return static_cast<std::size_t>(y * width + x); }
    std::size_t Cell(std::int64_t col, std::int64_t row) const { return static_cast<std::size_t>(row * cols + col); }

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
    bool Improve(std::int64_t col, std::int64_t row, LikenessMeasure::Sums& sums)
    {
        const SampleRect cell{col * CellSide, row * CellSide, (col + 1) * CellSide, (row + 1) * CellSide};
        // Where the blurred art changes, and where its likeness does.
        const SampleRect changed = cell.Grown(AcrossReach, DownReach).Within(width, height);
        const SampleRect measured = changed.Grown(AcrossReach, DownReach).Within(width, height);
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
            measure.SumAcross(blurredArt, measured, measured.top - DownReach, measured.bottom + DownReach, sums);
        for (const std::size_t shape : candidates) {
            BlurChange(col, row, was, shape, changed, trial);
            measure.SumAcross(trial, measured, changed.top, changed.bottom, sums);
            const double sum = measure.SumDown(measured, nullptr, sums);
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
    void BlurChange(std::int64_t col, std::int64_t row, std::size_t was, std::size_t shape, SampleRect changed,
                    std::vector<double>& blurred)
    {
        Draw(col, row, shape);
        // On the picture's edge the blur takes the edge's own samples again.
        if (col == 0 || row == 0 || col == cols - 1 || row == rows - 1) {
            measure.Blur(art, changed, blurred);
            return;
        }
        const std::vector<double>& before = blurredShapes[was];
        const std::vector<double>& after = blurredShapes[shape];
        std::size_t k = 0;
        for (std::int64_t y = changed.top; y < changed.bottom; ++y)
            for (std::int64_t x = changed.left; x < changed.right; ++x, ++k)
                blurred[Index(x, y)] = blurredArt[Index(x, y)] - before[k] + after[k];
    }

    void Remeasure(SampleRect measured, LikenessMeasure::Sums& sums)
    {
        std::vector<double> measuredLikeness(static_cast<std::size_t>((measured.right - measured.left) *
                                                                      (measured.bottom - measured.top)));
        measure.Measure(blurredArt, measured, measuredLikeness.data(), sums);
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
    const LikenessMeasure measure;
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

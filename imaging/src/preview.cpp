#include "ezedudu/preview.h"

#include "ezedudu/error.h"
#include "ezedudu/glyph_ramp.h"
#include "ezedudu/nfo_file.h"
#include "ezedudu/nfo_text.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <vector>

namespace ezedudu {
namespace {

constexpr std::uint8_t FullBlock = GlyphBands[0].cp437;

// A QImage's lines are counted in bytes in an int.
constexpr std::int64_t MaxPreviewSide = std::numeric_limits<int>::max() / 4;

std::vector<std::string_view> LinesOf(std::string_view nfo)
{
    std::vector<std::string_view> lines;
    while (!nfo.empty()) {
        const std::size_t end = nfo.find(LineEnd);
        lines.push_back(nfo.substr(0, end));
        nfo = end == std::string_view::npos ? std::string_view() : nfo.substr(end + LineEnd.size());
    }
    return lines;
}

QString CharacterOf(std::uint8_t byte)
{
    if (const GlyphBand* glyph = GlyphBandOf(byte))
        return QString::fromUtf8(glyph->utf8.data(), qsizetype(glyph->utf8.size()));
    return QString(QChar(byte < 128 ? byte : '?'));
}

// Each character drawn once into a cell-sized tile, then copied.
class CellTiles {
public:
    CellTiles(QSize cellSize, QColor paper, QColor ink) : cell(cellSize), background(paper), foreground(ink)
    {
        font.setFamily(QStringLiteral("DejaVu Sans Mono"));
        font.setStyleHint(QFont::Monospace);
        font.setPixelSize(std::max(1, cell.height() * 13 / 16));
    }

    const QImage& Of(std::uint8_t byte)
    {
        auto known = tiles.find(byte);
        if (known == tiles.end())
            known = tiles.emplace(byte, Draw(byte)).first;
        return known->second;
    }

private:
    QImage Draw(std::uint8_t byte) const
    {
        QImage tile(cell, QImage::Format_RGB32);
        tile.fill(byte == FullBlock ? foreground : background);
        if (byte == FullBlock || byte == ' ')
            return tile;
        QPainter painter(&tile);
        painter.setRenderHint(QPainter::Antialiasing);
        const QString character = CharacterOf(byte);
        if (byte >= 128) {
            // Shades fill their cell, as in a viewer's font: the glyph's outline
            // is stretched over the whole tile.
            QPainterPath outline;
            outline.addText(0, 0, font, character);
            const QRectF bounds = outline.boundingRect();
            if (!bounds.isEmpty()) {
                painter.scale(cell.width() / bounds.width(), cell.height() / bounds.height());
                painter.translate(-bounds.topLeft());
                painter.fillPath(outline, foreground);
            }
        } else {
            painter.setFont(font);
            painter.setPen(foreground);
            painter.drawText(tile.rect(), Qt::AlignCenter, character);
        }
        return tile;
    }

    QSize cell;
    QColor background;
    QColor foreground;
    QFont font;
    std::map<std::uint8_t, QImage> tiles;
};

} // namespace

QImage RenderPreview(std::string_view nfo, double cellAspect, PreviewTheme theme, int cellWidth)
{
    const std::vector<std::string_view> lines = LinesOf(nfo);
    std::size_t columns = 0;
    for (const std::string_view line : lines)
        columns = std::max(columns, line.size());
    // Sizes are worked out in 64 bits: a tall cell times many lines passes
    // what a picture side can hold.
    const std::int64_t cellHeight = std::max<std::int64_t>(1, std::llround(cellWidth * cellAspect));
    const std::int64_t width = std::int64_t(columns) * cellWidth;
    const std::int64_t height = std::int64_t(lines.size()) * cellHeight;
    if (width > MaxPreviewSide || height > MaxPreviewSide)
        throw Error(Error::Kind::OutputFailed, "the preview would be " + std::to_string(width) + " x " +
                                                   std::to_string(height) + " pixels, too large to draw");
    const QSize cell(cellWidth, int(cellHeight));
    const bool dark = theme == PreviewTheme::Dark;
    const QColor paper = dark ? QColor(Qt::black) : QColor(Qt::white);
    const QColor ink = dark ? QColor(0xAA, 0xAA, 0xAA) : QColor(Qt::black);

    QImage preview(int(width), int(height), QImage::Format_RGB32);
    if (preview.isNull())
        throw Error(Error::Kind::OutputFailed, "there is not enough memory to draw the preview");
    preview.fill(paper);
    CellTiles tiles(cell, paper, ink);
    QPainter painter(&preview);
    for (std::size_t row = 0; row < lines.size(); ++row)
        for (std::size_t col = 0; col < lines[row].size(); ++col)
            painter.drawImage(int(col) * cell.width(), int(row) * cell.height(),
                              tiles.Of(static_cast<std::uint8_t>(lines[row][col])));
    return preview;
}

std::string PngBytes(const QImage& preview)
{
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!preview.save(&buffer, "PNG"))
        throw Error(Error::Kind::OutputFailed, "cannot encode the preview as PNG");
    return png.toStdString();
}

void WritePreviewFile(const std::filesystem::path& path, const QImage& preview)
{
    OutputFiles output;
    output.Add(path, PngBytes(preview));
    output.Commit();
}

} // namespace ezedudu

// Our preview against a real viewer: ansilove, the renderer the NFO archives
// use, draws a file and the dark-theme preview must ink the same pixels.

#include "ezedudu/preview.h"

#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

namespace ezedudu {
namespace {

// Tab, LF, CR, 0x1A and ESC: ansilove acts on them instead of drawing them.
constexpr std::string_view BytesAViewerActsOn = "\t\n\r\x1A\x1B";

// Every other byte, sixteen to a line in order: shorter than 80 columns, as
// ansilove wraps a full line before its line end.
std::vector<std::string> EveryGlyphLines()
{
    std::vector<std::string> lines(16);
    for (int byte = 0; byte < 256; ++byte)
        if (BytesAViewerActsOn.find(char(byte)) == std::string_view::npos)
            lines[std::size_t(byte / 16)] += char(byte);
    return lines;
}

// ansilove paints each line 80 cells wide, in its own colours: ink is any
// pixel that is not its black paper.
TEST(ViewerMatch, PreviewInksWhatAnsiloveInksForEveryGlyph)
{
    const QTemporaryDir folder;
    const std::vector<std::string> lines = EveryGlyphLines();
    std::string nfo;
    for (const std::string& line : lines)
        nfo += line + "\r\n";
    const QString nfoPath = folder.filePath("glyphs.nfo");
    const QString pngPath = folder.filePath("glyphs.png");
    std::ofstream(nfoPath.toStdString(), std::ios::binary) << nfo;
    QProcess ansilove;
    ansilove.start(EZEDUDU_ANSILOVE, {"-q", "-f", "80x25", "-b", "8", "-o", pngPath, nfoPath});
    ASSERT_TRUE(ansilove.waitForFinished(60000)) << "ansilove did not run: " << ansilove.errorString().toStdString();
    ASSERT_EQ(ansilove.exitCode(), 0) << ansilove.readAllStandardError().toStdString();
    const QImage viewer(pngPath);
    ASSERT_FALSE(viewer.isNull()) << "ansilove drew no picture";

    const QImage preview = RenderPreview(nfo, ArtSettings{}.conversion.cellAspect, PreviewTheme::Dark);
    const QRgb paper = qRgb(0, 0, 0);
    const QRgb ink = qRgb(0xAA, 0xAA, 0xAA);
    ASSERT_EQ(preview.height(), viewer.height());
    ASSERT_EQ(viewer.width(), 80 * PreviewCellWidth);
    int mismatches = 0;
    for (int y = 0; y < viewer.height(); ++y)
        for (int x = 0; x < viewer.width(); ++x) {
            const bool viewerInks = viewer.pixel(x, y) != paper;
            const QRgb ours = x < preview.width() ? preview.pixel(x, y) : paper;
            ASSERT_TRUE(ours == paper || ours == ink) << "grey at " << x << ", " << y;
            if (viewerInks != (ours == ink) && mismatches++ < 10) {
                const std::string& line = lines[std::size_t(y / 16)];
                const std::size_t column = std::size_t(x / 8);
                ADD_FAILURE() << (column < line.size() ? "byte " + std::to_string(std::uint8_t(line[column]))
                                                       : std::string("the paper right of the line"))
                              << " differs at " << x % 8 << ", " << y % 16 << " of its cell";
            }
        }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
} // namespace ezedudu

#include "ezedudu/preview.h"

#include "ezedudu/error.h"
#include "ezedudu/nfo_file.h"

#include <QBuffer>

#include <cstdint>
#include <limits>
#include <span>

namespace ezedudu {
namespace {

// A QImage's lines are counted in bytes in an int.
constexpr std::int64_t MaxPreviewSide = std::numeric_limits<int>::max() / 4;

// The resolution the PNG file states (100 dots an inch). A QImage takes its
// screen's, or 100 dots an inch without one, so without this a preview
// written by a window would differ from ezedudu-cli's in that field alone.
constexpr int PreviewDotsPerMeter = 3937;

} // namespace

QImage RenderPreview(const Page& page, double cellAspect, PreviewTheme theme, int cellWidth)
{
    const PreviewLayout layout(page, cellAspect, cellWidth);
    const std::int64_t width = layout.Width();
    const std::int64_t height = layout.Height();
    if (width > MaxPreviewSide || height > MaxPreviewSide)
        throw Error(Error::Kind::OutputFailed, "the preview would be " + std::to_string(width) + " x " +
                                                   std::to_string(height) + " pixels, too large to draw");
    // An RGB32 picture's lines are whole 32-bit pixels with no padding, so
    // the layout draws straight into it.
    QImage preview(int(width), int(height), QImage::Format_RGB32);
    if (preview.isNull())
        throw Error(Error::Kind::OutputFailed, "there is not enough memory to draw the preview");
    preview.setDotsPerMeterX(PreviewDotsPerMeter);
    preview.setDotsPerMeterY(PreviewDotsPerMeter);
    layout.Draw(theme, std::span(reinterpret_cast<std::uint32_t*>(preview.bits()), std::size_t(width * height)));
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

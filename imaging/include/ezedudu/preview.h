#pragma once

#include "ezedudu/conversion_options.h"

#include <QImage>

#include <filesystem>
#include <string>
#include <string_view>

namespace ezedudu {

// A viewer's character cell is this many pixels wide.
inline constexpr int PreviewCellWidth = 8;

// The NFO file as a viewer shows it: every line (art, the empty line, the
// closing line) in cells of cellWidth x round(cellWidth x cellAspect)
// pixels, no margin. Full blocks fill their cells, so neighbouring ones
// touch; the other characters come from a monospace font with the block
// elements (DejaVu Sans Mono). Needs a QGuiApplication; any platform,
// offscreen included.
QImage RenderPreview(std::string_view nfo, double cellAspect, PreviewTheme theme,
                     int cellWidth = PreviewCellWidth);

// The preview encoded as a PNG file's bytes.
std::string PngBytes(const QImage& preview);

// Saves the preview as PNG, whole or not at all. Throws ezedudu::Error
// (OutputFailed) naming the path and the reason.
void WritePreviewFile(const std::filesystem::path& path, const QImage& preview);

} // namespace ezedudu

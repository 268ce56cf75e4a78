#pragma once

#include "ezedudu/conversion_options.h"
#include "ezedudu/preview_layout.h"

#include <QImage>

#include <filesystem>
#include <string>
#include <string_view>

namespace ezedudu {

// The NFO file's page as a viewer shows it (PreviewLayout) as a picture.
// Throws ezedudu::Error (OutputFailed) for a preview too large to draw.
QImage RenderPreview(const Page& page, double cellAspect, PreviewTheme theme,
                     int cellWidth = PreviewCellWidth);

// The preview encoded as a PNG file's bytes.
std::string PngBytes(const QImage& preview);

// Saves the preview as PNG, whole or not at all. Throws ezedudu::Error
// (OutputFailed) naming the path and the reason.
void WritePreviewFile(const std::filesystem::path& path, const QImage& preview);

} // namespace ezedudu

#pragma once

#include "ezedudu/conversion_options.h"

class QSettings;

namespace ezedudu {

// The studio's options as they were left, or its defaults (EditorDefaults)
// the first time.
void RecallOptions(const QSettings& settings, ConversionOptions& options, PreviewTheme& theme);

void RememberOptions(QSettings& settings, const ConversionOptions& options, PreviewTheme theme);

} // namespace ezedudu

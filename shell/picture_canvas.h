#pragma once

#include "ezedudu/conversion_job.h"

#include <QWidget>

#include <optional>

namespace ezedudu {

// The window's hidden picture surface: it holds the chosen picture, opened
// and checked, for the conversion to read, and is never shown, whatever the
// picture's size.
class PictureCanvas : public QWidget {
    Q_OBJECT

public:
    explicit PictureCanvas(QWidget* parent);

    // Replaces the picture, to be converted with the options, and takes its
    // size; throws Error when the file cannot be read.
    void Load(const QString& path, const ConversionOptions& options);
    // The NFO bytes of the loaded picture; empty when the observer cancelled.
    std::optional<std::string> Convert(ConversionObserver& observer) const;

private:
    std::optional<ConversionJob> job;
};

} // namespace ezedudu

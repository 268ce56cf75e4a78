#include "picture_canvas.h"

#include "ezedudu/page_writer.h"
#include "ezedudu/qt_path.h"

namespace ezedudu {

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName("picProcess");
    setGeometry(368, 480, 33, 33); // below the window's face
    hide(); // explicitly hidden, so showing the window leaves it hidden
}

void PictureCanvas::Load(const QString& path, const ConversionOptions& options)
{
    job.emplace(ToPath(path), options);
    resize(int(std::min<std::int64_t>(job->PictureWidth(), QWIDGETSIZE_MAX)),
           int(std::min<std::int64_t>(job->PictureHeight(), QWIDGETSIZE_MAX)));
}

std::optional<std::string> PictureCanvas::Convert(ConversionObserver& observer) const
{
    std::optional<ConvertedArt> converted = job->Convert(&observer);
    if (!converted)
        return std::nullopt;
    return WritePage(std::move(converted->page), TextEncoding::Cp437);
}

} // namespace ezedudu

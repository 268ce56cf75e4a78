#include "picture_canvas.h"

#include "ezedudu/picture_loader.h"
#include "ezedudu/qt_path.h"

namespace ezedudu {

PictureCanvas::PictureCanvas(QWidget* parent) : QWidget(parent)
{
    setObjectName("picProcess");
    setGeometry(368, 480, 33, 33); // below the window's face
    hide(); // explicitly hidden, so showing the window leaves it hidden
}

void PictureCanvas::Load(const QString& path)
{
    picture = ezedudu::LoadPicture(ezedudu::ToPath(path));
    resize(picture.size());
}

Canvas PictureCanvas::View() const
{
    return ezedudu::CanvasOf(picture);
}

} // namespace ezedudu

#include "frmMain.h"

#include "bmp_writer.h"
#include "memory_picture.h"
#include "qt_printing.h"
#include "scripted_platform.h"

#include <QLabel>
#include <QMouseEvent>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace ezedudu {
namespace {

class MainWindow : public testing::Test {
protected:
    template <typename Widget = QWidget>
    Widget* Child(const char* name) const
    {
        Widget* child = window.findChild<Widget*>(name);
        EXPECT_NE(child, nullptr) << name;
        return child;
    }

    // Sends one mouse event as the window system would, with the position in
    // the receiver's coordinates.
    static void Mouse(QWidget* receiver, QEvent::Type type, QPoint local, Qt::MouseButton button,
                      Qt::MouseButtons held)
    {
        QMouseEvent event(type, local, receiver->mapToGlobal(local), button, held, Qt::NoModifier);
        QApplication::sendEvent(receiver, &event);
    }

    // Presses at from, moves by offset and releases; returns how far the window moved.
    QPoint Drag(QWidget* receiver, Qt::MouseButton button, QPoint from, QPoint offset)
    {
        const QPoint before = window.pos();
        Mouse(receiver, QEvent::MouseButtonPress, from, button, button);
        Mouse(receiver, QEvent::MouseMove, from + offset, Qt::NoButton, button);
        Mouse(receiver, QEvent::MouseButtonRelease, from + offset, button, Qt::NoButton);
        return window.pos() - before;
    }

    ScriptedPlatform platform;
    frmMain window{platform};
};

TEST_F(MainWindow, IsAFramelessPanelWithTitleAndIcon)
{
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(window.size(), QSize(400, 100));
    EXPECT_EQ(window.windowTitle(), "Tavix's ZOR Ezedudu");
    EXPECT_EQ(window.windowIcon().availableSizes().value(0), QSize(32, 32));
    EXPECT_FALSE(window.isVisible()); // until the conversion starts
}

TEST_F(MainWindow, PlacesItsControls)
{
    const struct {
        const char* name;
        QRect geometry;
    } cases[] = {
        {"Label1", {384, 0, 17, 17}},
        {"Progress", {24, 64, 353, 17}},
        {"picProcess", {368, 480, 33, 33}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Child(c.name)->geometry(), c.geometry) << c.name;

    const auto* label = Child<QLabel>("Label1");
    EXPECT_EQ(label->text(), "X");
    EXPECT_TRUE(label->font().bold());
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
    EXPECT_FALSE(label->autoFillBackground());

    const auto* progress = Child<QProgressBar>("Progress");
    EXPECT_EQ(progress->minimum(), 0);
    EXPECT_EQ(progress->maximum(), 100);
    EXPECT_EQ(progress->orientation(), Qt::Horizontal);
}

TEST_F(MainWindow, NeverShowsItsCanvas)
{
    QTemporaryDir folder;
    const QString picture = folder.filePath("tall.bmp");
    WriteBytes(picture.toStdString(),
               EncodeBmp(BitmapPicture{900, 700, std::vector<std::uint32_t>(900 * 700, Grey(9))}, BmpFormat{}));
    platform.duringConversion = [this] {
        EXPECT_TRUE(window.isVisible());
        EXPECT_FALSE(Child("picProcess")->isVisible());
        EXPECT_EQ(Child("picProcess")->size(), QSize(900, 700));
    };
    platform.chosenFile = picture;
    EXPECT_TRUE(window.Load());
    EXPECT_GE(platform.eventBreaks, 1);
}

TEST_F(MainWindow, ClosesOnAClickOnX)
{
    window.show();
    QTest::mouseClick(Child("Label1"), Qt::LeftButton);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(MainWindow, MovesOnlyWithTheLeftButtonOnTheBackground)
{
    window.show();
    const QPoint offset(40, 25);
    EXPECT_EQ(Drag(&window, Qt::RightButton, {100, 40}, offset), QPoint(0, 0));
    EXPECT_EQ(Drag(&window, Qt::MiddleButton, {100, 40}, offset), QPoint(0, 0));
    EXPECT_EQ(Drag(Child("Progress"), Qt::LeftButton, {10, 5}, offset), QPoint(0, 0));
    EXPECT_EQ(Drag(Child("Label1"), Qt::LeftButton, {5, 5}, offset), QPoint(0, 0));
    EXPECT_TRUE(window.isVisible());
    // The offscreen platform has no system move, so the window follows the mouse itself.
    EXPECT_EQ(Drag(&window, Qt::LeftButton, {100, 40}, offset), offset);
}

} // namespace
} // namespace ezedudu

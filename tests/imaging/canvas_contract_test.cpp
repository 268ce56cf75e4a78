#include "ezedudu/picture_loader.h"

#include "bmp_writer.h"
#include "memory_picture.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace ezedudu {
namespace {

// The picture every source holds: 3 x 2 pixels, top-left red 0x12, green
// 0x34, blue 0x56, bottom-right pure blue, the rest grey.
BitmapPicture ContractPicture()
{
    BitmapPicture picture{3, 2, std::vector<std::uint32_t>(6, Grey(0x80))};
    picture.pixels[0] = Rgb(0x12, 0x34, 0x56);
    picture.pixels[5] = Rgb(0, 0, 0xFF);
    return picture;
}

class MemorySource {
public:
    explicit MemorySource(const BitmapPicture& p) : picture(p.width, p.height)
    {
        for (int i = 0; i < p.width * p.height; ++i)
            picture.Set(i % p.width, i / p.width, p.pixels[i]);
    }
    Canvas View() const { return picture.View(); }

private:
    MemoryPicture picture;
};

// A window into a wider image, so rows are further apart than the width.
class WideStrideImageSource {
public:
    explicit WideStrideImageSource(const BitmapPicture& p) : wide(p.width + 5, p.height, QImage::Format_RGB32)
    {
        wide.fill(Qt::black);
        for (int i = 0; i < p.width * p.height; ++i)
            wide.setPixel(i % p.width, i / p.width, p.pixels[i]);
        window = QImage(wide.constBits(), p.width, p.height, wide.bytesPerLine(), QImage::Format_RGB32);
    }
    Canvas View() const { return CanvasOf(window); }

private:
    QImage wide;
    QImage window;
};

class LoadedBitmapSource {
public:
    explicit LoadedBitmapSource(const BitmapPicture& p)
    {
        const QString path = folder.filePath("contract.bmp");
        WriteBytes(path.toStdString(), EncodeBmp(p, BmpFormat{}));
        picture = LoadPicture(path.toStdString());
    }
    Canvas View() const { return CanvasOf(picture); }

private:
    QTemporaryDir folder;
    QImage picture;
};

template <typename Source>
class CanvasContract : public testing::Test {};

using CanvasSources = testing::Types<MemorySource, WideStrideImageSource, LoadedBitmapSource>;
TYPED_TEST_SUITE(CanvasContract, CanvasSources);

TYPED_TEST(CanvasContract, MeasuresThePicture)
{
    const TypeParam source(ContractPicture());
    EXPECT_EQ(source.View().Width(), 3);
    EXPECT_EQ(source.View().Height(), 2);
}

TYPED_TEST(CanvasContract, AnswersColoursAsBlueGreenRed)
{
    const TypeParam source(ContractPicture());
    const Canvas canvas = source.View();
    EXPECT_EQ(canvas.Point(0, 0), 0x00563412);
    EXPECT_EQ(canvas.Point(1, 0), 0x00808080);
    EXPECT_EQ(canvas.Point(2, 1), 0x00FF0000);
}

TYPED_TEST(CanvasContract, AnswersMinusOneOutsideThePicture)
{
    const TypeParam source(ContractPicture());
    const Canvas canvas = source.View();
    for (const auto& [x, y] : {std::pair{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {3, 2}, {1000000, 1}})
        EXPECT_EQ(canvas.Point(x, y), OutsidePicture) << x << ", " << y;
}

} // namespace
} // namespace ezedudu

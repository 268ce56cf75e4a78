// Any file through the whole conversion job, as ezedudu-cli sees it: open
// (our bitmap reader or Qt's decoders) and convert, on two threads where the
// picture allows it.
#include "ezedudu/conversion_job.h"
#include "ezedudu/error.h"
#include "fuzz_pixel_limit.h"

#include <QCoreApplication>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <unistd.h>

namespace {

using namespace ezedudu;

std::filesystem::path PicturePath()
{
    static const std::filesystem::path path =
        std::filesystem::temp_directory_path() / ("ezedudu-fuzz-" + std::to_string(getpid()) + ".picture");
    return path;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Qt finds its image format plugins through the application object.
    static QCoreApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file(PicturePath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    try {
        ConversionOptions options;
        options.maxPixels = FuzzPixelLimit();
        // Now and then through the art controls too, which hold the whole picture.
        if (size % 3 == 1) {
            options.columns = 1 + data[0] % 100;
            options.art = {{.levelsAuto = true, .gamma = 1.5}, Dither::FloydSteinberg};
        }
        const ConversionJob job(PicturePath(), options);
        job.Convert();
    } catch (const Error&) {
        // Refused with a reason.
    }
    return 0;
}

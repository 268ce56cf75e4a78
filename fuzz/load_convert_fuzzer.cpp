// Any file through the whole conversion job, as ezedudu-cli sees it: open
// (our bitmap reader or Qt's decoders) and convert at the natural size and
// fitted, on two threads where the picture allows it.
#include "ezedudu/conversion_job.h"
#include "ezedudu/error.h"
#include "fuzz_options.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
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
    StartQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    {
        std::ofstream file(PicturePath(), std::ios::binary | std::ios::trunc);
        file.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    for (const ConversionOptions& options : FuzzConversions(data, size))
        try {
            ConversionJob(PicturePath(), options).Convert();
        } catch (const Error&) {
            // Refused with a reason.
        }
    return 0;
}

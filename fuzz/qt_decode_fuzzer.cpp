// Any bytes through Qt's decoders, as ezedudu-cli reads standard input, and
// converted at the natural size and fitted. Bitmaps are left to the
// targets of the bitmap reader.
#include "ezedudu/conversion_job.h"
#include "ezedudu/error.h"
#include "fuzz_options.h"

#include <cstdint>
#include <memory>
#include <string>

using namespace ezedudu;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartQt(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size >= 2 && data[0] == 'B' && data[1] == 'M')
        return 0;
    const auto bytes = std::make_shared<const std::string>(reinterpret_cast<const char*>(data), size);
    for (const ConversionOptions& options : FuzzConversions(data, size))
        try {
            ConversionJob(bytes, options).Convert();
        } catch (const Error&) {
            // Refused with a reason.
        }
    return 0;
}

// Feeds any bytes to the composer as a template. Every picture it names is a
// small grey one, every font file it names is missing; fields title and date
// have values. A template must compose or be refused with a TemplateError (or
// an Error for what it names), and what composes must keep to its width and,
// as a DIZ, to its lines.
#include "ezedudu/canvas.h"
#include "ezedudu/compose.h"
#include "ezedudu/error.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

using namespace ezedudu;

class GreyPictures : public TemplateSources {
public:
    std::shared_ptr<const RowSource> OpenPicture(const std::string&, const ConversionOptions&) override
    {
        return std::make_shared<CanvasRows>(Canvas(pixels.data(), 40, 30, 40 * sizeof(std::uint32_t)));
    }

    std::string ReadFont(const std::string& name) override
    {
        throw Error(Error::Kind::MissingFile, name + ": no such file");
    }

private:
    std::vector<std::uint32_t> pixels = std::vector<std::uint32_t>(40 * 30, 0xFF808080);
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    GreyPictures pictures;
    const TemplateFields fields{{"title", "Ezedudu {{3.0}}"}, {"date", "2024-01-02"}};
    // The first byte's low bit picks the layout, so the fuzzer tries both.
    ComposeOptions options;
    if (size > 0 && (data[0] & 1))
        options.shape = ShapeOf(PageLayout::Diz);
    try {
        const Page page = Compose(text, fields, pictures, options);
        if (page.Width() > options.shape.width ||
            (options.shape.maxLines && page.LineCount() > *options.shape.maxLines))
            std::abort();
    } catch (const TemplateError&) {
        // Refused with its place in the template.
    } catch (const Error&) {
        // A picture or font it names refused.
    }
    return 0;
}

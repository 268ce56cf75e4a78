#include "ezedudu/error.h"
#include "ezedudu/nfo_text.h"
#include "ezedudu/preview.h"

#include "reference_nfo.h"

#include <gtest/gtest.h>

namespace ezedudu {
namespace {

// Sizes are worked out before anything is drawn: cells too tall for a
// picture's side are refused, not overflowed.
TEST(RenderPreview, RefusesPreviewsTooLargeToDraw)
{
    const struct {
        std::int64_t columns;
        double cellAspect;
    } cases[] = {{2, 1e9}, {2, 3e8}, {1, 4e7}};
    for (const auto& c : cases) {
        try {
            RenderPreview(PageOf({std::string(std::size_t(c.columns), ' '), "", ClosingLine}), c.cellAspect, PreviewTheme::Light);
            ADD_FAILURE() << c.columns << " columns, cells " << c.cellAspect << ": drawn";
        } catch (const Error& error) {
            EXPECT_EQ(error.GetKind(), Error::Kind::OutputFailed);
            EXPECT_NE(std::string(error.what()).find("too large to draw"), std::string::npos) << error.what();
        }
    }
}

} // namespace
} // namespace ezedudu

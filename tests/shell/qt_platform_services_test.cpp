#include "qt_platform_services.h"

#include "qt_printing.h"

#include <QProgressBar>
#include <gtest/gtest.h>

#include <limits>

namespace ezedudu {
namespace {

TEST(ToQtNameFilter, SpellsEachEntryTheQtWay)
{
    const struct {
        const char* filter;
        const char* qtFilter;
    } cases[] = {
        {"Bitmaps|*.bmp", "Bitmaps (*.bmp)"},
        {"Pictures|*.bmp;*.png|All files|*.*", "Pictures (*.bmp *.png);;All files (*.*)"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToQtNameFilter(c.filter), QString(c.qtFilter)) << c.filter;
}

TEST(QtPlatformServicesProgress, ScalesCellCountsBeyondTheBarsRange)
{
    QtPlatformServices platform;
    QProgressBar bar;
    platform.SetProgress(bar, 2999, 3000);
    EXPECT_EQ(bar.maximum(), 3000);
    EXPECT_EQ(bar.value(), 2999);

    // Three times what an int holds, half done: the bar keeps the proportion.
    const qint64 huge = qint64(std::numeric_limits<int>::max()) * 3;
    platform.SetProgress(bar, huge / 2, huge);
    EXPECT_GT(bar.maximum(), std::numeric_limits<int>::max() / 2);
    EXPECT_NEAR(double(bar.value()) / bar.maximum(), 0.5, 1e-6);
}

} // namespace
} // namespace ezedudu

#include "live_renderer.h"

#include "ezedudu/error.h"

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

namespace ezedudu {
namespace {

// Passes the percentage on when it changes and answers whether to cancel.
class RenderObserver : public ConversionObserver {
public:
    RenderObserver(std::function<bool()> cancelNow, std::function<void(int)> onPercent)
        : cancel(std::move(cancelNow)), percentChanged(std::move(onPercent))
    {
    }

    void CellRowDone(std::int64_t value, std::int64_t maximum) override
    {
        const int percent = PercentDone(value, maximum);
        if (percent != shown)
            percentChanged(shown = percent);
    }
    bool CancelRequested() override { return cancel(); }

private:
    std::function<bool()> cancel;
    std::function<void(int)> percentChanged;
    int shown = -1;
};

// The live view draws art larger than this with smaller cells, so that it
// stays quick; an exported preview is always drawn at full size.
constexpr double ViewPixels = 32e6;

int ViewCellWidth(const Page& page, double cellAspect)
{
    const double columns = double(page.Width());
    const double lines = double(page.LineCount());
    int width = PreviewCellWidth;
    while (width > 1 && columns * lines * width * width * cellAspect > ViewPixels)
        width /= 2;
    return width;
}

} // namespace

LiveRenderer::LiveRenderer(QObject* parent) : QObject(parent) {}

LiveRenderer::~LiveRenderer() = default;

void LiveRenderer::Render(Artwork wanted)
{
    // The worker's strings are its own, not shared with the window's: Qt
    // counts a shared string's users inside Qt, where ThreadSanitizer cannot
    // see the count order the two threads.
    for (QString* text : {&wanted.path, &wanted.name})
        *text = QString(text->constData(), text->size());
    if (tasks.Submit([this, wanted = std::move(wanted)](const NewestTaskWorker::Context& task) mutable {
            Run(std::move(wanted), task);
        }))
        ++cancelled;
}

// A stale request gives way within a row of cells.
void LiveRenderer::Run(Artwork wanted, const NewestTaskWorker::Context& task)
{
    RenderObserver observer([&task] { return task.Stale(); }, [this, &task](int percent) {
        task.Post([this, percent] { emit progressed(percent); });
    });
    // Whatever a task throws becomes a message: an exception that left the
    // worker would end the program.
    QString failure;
    try {
        if (wanted.open)
            wanted.picture = wanted.open(wanted.options);
        std::optional<ConvertedArt> nfo = ConversionJob(wanted.picture, wanted.options).Convert(&observer);
        if (!nfo || task.Stale()) {
            ++cancelled;
            return;
        }
        QImage preview = RenderPreview(nfo->page, wanted.options.cellAspect, wanted.theme,
                                       ViewCellWidth(nfo->page, wanted.options.cellAspect));
        wanted.nfo = std::move(*nfo);
        task.Post([this, art = std::move(wanted), preview = std::move(preview)] { emit rendered(art, preview); },
                  true);
        return;
    } catch (const Error& error) {
        failure = QString::fromStdString(error.what());
    } catch (const std::bad_alloc&) {
        failure = tr("There is not enough memory for art this large.");
    } catch (const std::exception& error) {
        failure = tr("unexpected failure: %1").arg(QString::fromLocal8Bit(error.what()));
    } catch (...) {
        failure = tr("unexpected failure of an unknown kind");
    }
    task.Post([this, failure] { emit failed(failure); }, true);
}

} // namespace ezedudu

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

LiveRenderer::LiveRenderer(QObject* parent)
    : QObject(parent), worker([this](std::stop_token stop) { Work(std::move(stop)); })
{
    collect.setInterval(1);
    collect.setTimerType(Qt::PreciseTimer);
    connect(&collect, &QTimer::timeout, this, &LiveRenderer::Deliver);
}

LiveRenderer::~LiveRenderer() = default;

void LiveRenderer::Render(Artwork wanted)
{
    // The worker's strings are its own, not shared with the window's: Qt
    // counts a shared string's users inside Qt, where ThreadSanitizer cannot
    // see the count order the two threads.
    for (QString* text : {&wanted.path, &wanted.name})
        *text = QString(text->constData(), text->size());
    const std::uint64_t id = ++newest; // cancels the one running
    collect.start();
    {
        const std::lock_guard held(lock);
        if (waiting)
            ++cancelled;
        waiting = Request{id, std::move(wanted)};
    }
    wake.notify_one();
}

// One request at a time: a cancelled one gives way within a row of cells.
void LiveRenderer::Work(std::stop_token stop)
{
    for (;;) {
        Request request;
        {
            std::unique_lock held(lock);
            if (!wake.wait(held, stop, [this] { return waiting.has_value(); }))
                return;
            request = std::move(*waiting);
            waiting.reset();
        }
        Run(std::move(request), stop);
    }
}

void LiveRenderer::Run(Request request, const std::stop_token& stop)
{
    const std::uint64_t id = request.id;
    const auto stale = [this, id, &stop] { return id != newest || stop.stop_requested(); };
    RenderObserver observer(stale, [&](int percent) {
        Post(id, [percent](LiveRenderer& self) { emit self.progressed(percent); });
    });
    Artwork& wanted = request.wanted;
    // Whatever a task throws becomes a message: an exception that left the
    // worker would end the program.
    QString failure;
    try {
        if (wanted.open)
            wanted.picture = wanted.open(wanted.options);
        std::optional<ConvertedArt> nfo = ConversionJob(wanted.picture, wanted.options).Convert(&observer);
        if (!nfo || stale()) {
            ++cancelled;
            return;
        }
        QImage preview = RenderPreview(nfo->page, wanted.options.cellAspect, wanted.theme,
                                       ViewCellWidth(nfo->page, wanted.options.cellAspect));
        wanted.nfo = std::move(*nfo);
        Post(
            id, [art = std::move(wanted), preview = std::move(preview)](LiveRenderer& self) {
                emit self.rendered(art, preview);
            },
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
    Post(id, [failure](LiveRenderer& self) { emit self.failed(failure); }, true);
}

void LiveRenderer::Post(std::uint64_t request, std::function<void(LiveRenderer&)> signal, bool last)
{
    const std::lock_guard held(lock);
    reports.push_back({request, std::move(signal), last});
}

void LiveRenderer::Deliver()
{
    std::vector<Report> arrived;
    {
        const std::lock_guard held(lock);
        arrived.swap(reports);
    }
    for (const Report& report : arrived) {
        if (report.request != newest)
            continue;
        if (report.last)
            collect.stop(); // until the next request
        report.signal(*this);
    }
}

} // namespace ezedudu

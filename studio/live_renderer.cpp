#include "live_renderer.h"

#include "ezedudu/error.h"
#include "ezedudu/nfo_text.h"

#include <algorithm>
#include <exception>
#include <new>

namespace ezedudu {
namespace {

// Passes the percentage on when it changes and answers the cancel flag.
class RenderObserver : public ConversionObserver {
public:
    RenderObserver(std::shared_ptr<std::atomic<bool>> cancelFlag, std::function<void(int)> onPercent)
        : cancel(std::move(cancelFlag)), percentChanged(std::move(onPercent))
    {
    }

    void CellRowDone(std::int64_t value, std::int64_t maximum) override
    {
        const int percent = PercentDone(value, maximum);
        if (percent != shown)
            percentChanged(shown = percent);
    }
    bool CancelRequested() override { return *cancel; }

private:
    std::shared_ptr<std::atomic<bool>> cancel;
    std::function<void(int)> percentChanged;
    int shown = -1;
};

// The live view draws art larger than this with smaller cells, so that it
// stays quick; an exported preview is always drawn at full size.
constexpr double ViewPixels = 32e6;

int ViewCellWidth(const std::string& nfo, double cellAspect)
{
    const ArtSize art = MeasureArt(nfo);
    const double columns = double(std::max<std::int64_t>(art.columns, std::int64_t(ClosingLine.size())));
    const double lines = double(art.rows + 2); // and the empty and closing lines
    int width = PreviewCellWidth;
    while (width > 1 && columns * lines * width * width * cellAspect > ViewPixels)
        width /= 2;
    return width;
}

} // namespace

LiveRenderer::LiveRenderer(QObject* parent) : QObject(parent)
{
    // One render at a time: a cancelled one gives way within a row of cells.
    worker.setMaxThreadCount(1);
}

LiveRenderer::~LiveRenderer()
{
    if (cancelLatest)
        *cancelLatest = true;
    worker.waitForDone();
}

void LiveRenderer::Render(Artwork wanted, PictureOpener open)
{
    if (cancelLatest)
        *cancelLatest = true;
    cancelLatest = std::make_shared<std::atomic<bool>>(false);
    const std::uint64_t request = ++newest;
    worker.start([this, request, cancel = cancelLatest, wanted = std::move(wanted), open = std::move(open)] {
        Run(request, cancel, wanted, open);
    });
}

void LiveRenderer::Run(std::uint64_t request, const std::shared_ptr<std::atomic<bool>>& cancel, Artwork wanted,
                       const PictureOpener& open)
{
    if (*cancel) { // a newer request came while this one waited
        ++cancelled;
        return;
    }
    const auto report = [this, request](auto signal) {
        QMetaObject::invokeMethod(this, [this, request, signal] {
            if (request == newest)
                signal(this);
        }, Qt::QueuedConnection);
    };
    RenderObserver observer(cancel, [&](int percent) {
        report([percent](LiveRenderer* self) { emit self->progressed(percent); });
    });
    // Whatever a task throws becomes a message: an exception that left the
    // worker would end the program.
    QString failure;
    try {
        if (!wanted.picture)
            wanted.picture = open();
        std::optional<std::string> nfo = ConversionJob(wanted.picture, wanted.options).Convert(&observer);
        if (!nfo || *cancel) {
            ++cancelled;
            return;
        }
        const QImage preview = RenderPreview(*nfo, wanted.options.cellAspect, wanted.theme,
                                             ViewCellWidth(*nfo, wanted.options.cellAspect));
        wanted.nfo = std::move(*nfo);
        report([wanted, preview](LiveRenderer* self) { emit self->rendered(wanted, preview); });
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
    report([failure](LiveRenderer* self) { emit self->failed(failure); });
}

} // namespace ezedudu

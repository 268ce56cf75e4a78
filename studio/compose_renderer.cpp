#include "compose_renderer.h"

#include "ezedudu/error.h"

#include <exception>
#include <new>

namespace ezedudu {

ComposeRenderer::ComposeRenderer(QObject* parent)
    : QObject(parent), worker([this](std::stop_token stop) { Work(std::move(stop)); })
{
    collect.setInterval(1);
    collect.setTimerType(Qt::PreciseTimer);
    connect(&collect, &QTimer::timeout, this, &ComposeRenderer::Deliver);
}

ComposeRenderer::~ComposeRenderer() = default;

void ComposeRenderer::Compose(ComposeRequest request)
{
    const std::uint64_t id = ++newest;
    collect.start();
    {
        const std::lock_guard held(lock);
        waiting.emplace(id, std::move(request));
    }
    wake.notify_one();
}

void ComposeRenderer::Work(std::stop_token stop)
{
    for (;;) {
        std::pair<std::uint64_t, ComposeRequest> request;
        {
            std::unique_lock held(lock);
            if (!wake.wait(held, stop, [this] { return waiting.has_value(); }))
                return;
            request = std::move(*waiting);
            waiting.reset();
        }
        if (request.first != newest)
            continue;
        Outcome outcome = Run(request.second);
        outcome.request = request.first;
        const std::lock_guard held(lock);
        done = std::move(outcome);
    }
}

ComposeRenderer::Outcome ComposeRenderer::Run(const ComposeRequest& request) const
{
    // Whatever composing throws becomes a message: an exception that left
    // the worker would end the program.
    Outcome outcome;
    try {
        auto page = std::make_shared<Page>(ezedudu::Compose(request.text, request.fields, *request.sources,
                                                            request.options));
        outcome.preview = RenderPreview(*page, request.cellAspect, request.theme);
        outcome.page = std::move(page);
    } catch (const TemplateError& fault) {
        outcome.fault = {fault.Line(), fault.Column(), QString::fromStdString(fault.what())};
    } catch (const Error& error) {
        outcome.fault.message = QString::fromStdString(Explain(error));
    } catch (const std::bad_alloc&) {
        outcome.fault.message = tr("There is not enough memory for this template.");
    } catch (const std::exception& error) {
        outcome.fault.message = tr("unexpected failure: %1").arg(QString::fromLocal8Bit(error.what()));
    }
    return outcome;
}

void ComposeRenderer::Deliver()
{
    std::optional<Outcome> arrived;
    {
        const std::lock_guard held(lock);
        arrived.swap(done);
    }
    if (!arrived || arrived->request != newest)
        return;
    collect.stop(); // until the next request
    if (arrived->page)
        emit composed(arrived->page, arrived->preview);
    else
        emit failed(arrived->fault);
}

} // namespace ezedudu

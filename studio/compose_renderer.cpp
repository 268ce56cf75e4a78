#include "compose_renderer.h"

#include "ezedudu/error.h"

#include <exception>
#include <new>

namespace ezedudu {

ComposeRenderer::ComposeRenderer(QObject* parent) : QObject(parent) {}

ComposeRenderer::~ComposeRenderer() = default;

void ComposeRenderer::Compose(ComposeRequest request)
{
    tasks.Submit([this, request = std::move(request)](const NewestTaskWorker::Context& task) {
        if (task.Stale())
            return;
        task.Post([this, outcome = Run(request)] {
            if (outcome.page)
                emit composed(outcome.page, outcome.preview);
            else
                emit failed(outcome.fault);
        }, true);
    });
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

} // namespace ezedudu

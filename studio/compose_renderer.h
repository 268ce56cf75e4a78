#pragma once

#include "cached_template_files.h"
#include "newest_task_worker.h"

#include "ezedudu/compose.h"
#include "ezedudu/preview.h"

#include <QImage>
#include <QObject>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>

namespace ezedudu {

// What a compose is asked to make: the template's bytes with its fields and
// shape, read through sources, drawn as the art view draws.
struct ComposeRequest {
    std::string text;
    TemplateFields fields;
    ComposeOptions options;
    std::shared_ptr<CachedTemplateFiles> sources;
    double cellAspect = DefaultCellAspect;
    PreviewTheme theme = PreviewTheme::Light;
};

// Why a compose failed: at a line and column of the template (from 1), or
// at none (line 0) for a fault outside it.
struct ComposeFault {
    std::int64_t line = 0;
    std::int64_t column = 0;
    QString message;
};

// Composes templates and draws their pages on a worker thread, so that typing
// never waits for it. A newer request replaces one still waiting; only the
// newest request's outcome is reported, on the thread that made the renderer.
class ComposeRenderer : public QObject {
    Q_OBJECT

public:
    explicit ComposeRenderer(QObject* parent = nullptr);
    ~ComposeRenderer() override;

    void Compose(ComposeRequest request);

signals:
    void composed(const std::shared_ptr<const Page>& page, const QImage& preview);
    void failed(const ComposeFault& fault);

private:
    struct Outcome {
        std::shared_ptr<const Page> page;
        QImage preview;
        ComposeFault fault;
    };

    Outcome Run(const ComposeRequest& request) const;

    NewestTaskWorker tasks; // last: its thread stops before the rest goes
};

} // namespace ezedudu

Q_DECLARE_METATYPE(ezedudu::ComposeFault)

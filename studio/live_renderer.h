#pragma once

#include "ezedudu/conversion_job.h"
#include "ezedudu/preview.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <memory>
#include <string>

namespace ezedudu {

// Converts the picture and draws its preview on a worker thread, so that the
// window stays responsive. A newer request cancels the one running; only the
// newest request's outcome is ever reported, on the thread that asked.
class LiveRenderer : public QObject {
    Q_OBJECT

public:
    explicit LiveRenderer(QObject* parent = nullptr);
    ~LiveRenderer() override;

    void Render(std::shared_ptr<const RowSource> picture, const ConversionOptions& options, PreviewTheme theme);

    // How many requests were cancelled by a newer one before they finished.
    int Cancelled() const { return cancelled; }

signals:
    void progressed(int percent);
    // nfo holds the file's code-page-437 bytes; preview shows them, drawn
    // with smaller cells when the art is huge.
    void rendered(const std::string& nfo, const QImage& preview);
    void failed(const QString& reason);

private:
    // Runs on the worker; reports through queued calls that check the
    // request is still the newest.
    void Run(std::uint64_t request, const std::shared_ptr<std::atomic<bool>>& cancel,
             const std::shared_ptr<const RowSource>& picture, const ConversionOptions& options, PreviewTheme theme);

    QThreadPool worker;
    std::uint64_t newest = 0;
    std::shared_ptr<std::atomic<bool>> cancelRunning;
    std::atomic<int> cancelled = 0;
};

} // namespace ezedudu

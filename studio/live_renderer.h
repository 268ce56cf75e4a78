#pragma once

#include "artwork.h"
#include "newest_task_worker.h"

#include <QImage>
#include <QObject>

#include <atomic>

namespace ezedudu {

// Opens and converts the picture and draws its preview on a worker thread.
// A newer request cancels the one running and replaces any still waiting;
// only the newest request's outcome is reported, on the thread that made the
// renderer.
class LiveRenderer : public QObject {
    Q_OBJECT

public:
    explicit LiveRenderer(QObject* parent = nullptr);
    ~LiveRenderer() override;

    // Renders wanted: the picture its opener gives for its options, or when
    // it has none, its picture, converted with its options. Opening is left
    // to the renderer's thread, so that decoding a large picture never
    // stalls the window.
    void Render(Artwork wanted);

    // How many requests a newer one cancelled or replaced before they finished.
    int Cancelled() const { return cancelled; }

signals:
    void progressed(int percent);
    // art is wanted with its picture and nfo filled in; preview shows the
    // art, drawn with smaller cells when it is huge.
    void rendered(const Artwork& art, const QImage& preview);
    // Any failure of a request, whatever its task threw.
    void failed(const QString& reason);

private:
    void Run(Artwork wanted, const NewestTaskWorker::Context& task);

    std::atomic<int> cancelled = 0;
    NewestTaskWorker tasks; // last: its thread stops before the rest goes
};

} // namespace ezedudu

#pragma once

#include "artwork.h"

#include <QImage>
#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace ezedudu {

// Opens and converts the picture and draws its preview on a worker thread,
// so that the window stays responsive. A newer request cancels the one
// running and replaces any still waiting, which never starts; only the
// newest request's outcome is ever reported, on the thread that made the
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
    struct Request {
        std::uint64_t id = 0;
        Artwork wanted;
    };
    struct Report {
        std::uint64_t request = 0;
        std::function<void(LiveRenderer&)> signal;
        bool last = false; // the request's outcome, after its progress
    };

    void Work(std::stop_token stop);
    void Run(Request request, const std::stop_token& stop);
    // Hands a report from the worker to the renderer's own thread, where
    // Deliver() emits it if its request is still the newest.
    void Post(std::uint64_t request, std::function<void(LiveRenderer&)> signal, bool last = false);
    void Deliver();

    std::atomic<std::uint64_t> newest = 0;
    std::atomic<int> cancelled = 0;
    // Guards waiting and reports, which both threads use; the mutex also
    // orders everything a request or a report carries.
    std::mutex lock;
    std::condition_variable_any wake;
    std::optional<Request> waiting;
    std::vector<Report> reports;
    // Collects the reports on the renderer's thread while a request is under
    // way. The worker never calls into Qt, whose own locks ThreadSanitizer
    // cannot see: everything crosses through the mutex.
    QTimer collect;
    std::jthread worker; // last: it stops and joins before the rest goes
};

} // namespace ezedudu

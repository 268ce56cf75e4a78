#pragma once

#include "artwork.h"

#include <QImage>
#include <QObject>
#include <QThreadPool>

#include <atomic>
#include <functional>
#include <memory>

namespace ezedudu {

// Opens a picture on the renderer's thread, so that decoding a large one
// never stalls the window.
using PictureOpener = std::function<std::shared_ptr<const RowSource>()>;

// Opens and converts the picture and draws its preview on a worker thread,
// so that the window stays responsive. A newer request cancels the one
// running and drops those still waiting; only the newest request's outcome
// is ever reported, on the thread that asked.
class LiveRenderer : public QObject {
    Q_OBJECT

public:
    explicit LiveRenderer(QObject* parent = nullptr);
    ~LiveRenderer() override;

    // Renders wanted: its picture, or when it has none, the one open()
    // gives, converted with its options.
    void Render(Artwork wanted, PictureOpener open = {});

    // How many requests a newer one cancelled before they finished.
    int Cancelled() const { return cancelled; }

signals:
    void progressed(int percent);
    // art is wanted with its picture and nfo filled in; preview shows the
    // art, drawn with smaller cells when it is huge.
    void rendered(const Artwork& art, const QImage& preview);
    // Any failure of a request, whatever its task threw.
    void failed(const QString& reason);

private:
    // Runs on the worker; reports through queued calls that check the
    // request is still the newest.
    void Run(std::uint64_t request, const std::shared_ptr<std::atomic<bool>>& cancel, Artwork wanted,
             const PictureOpener& open);

    QThreadPool worker;
    std::uint64_t newest = 0;
    std::shared_ptr<std::atomic<bool>> cancelLatest;
    std::atomic<int> cancelled = 0;
};

} // namespace ezedudu

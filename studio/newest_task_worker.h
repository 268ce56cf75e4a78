#pragma once

#include <QObject>
#include <QTimer>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <vector>

namespace ezedudu {

// Runs tasks one at a time on a worker thread, so that the window stays
// responsive. A newer task replaces one still waiting, which never starts,
// and makes the one running stale; what a task reports reaches the thread
// that made the worker only while the task is the newest.
class NewestTaskWorker : public QObject {
    Q_OBJECT

public:
    // Runs on the thread that made the worker.
    using Report = std::function<void()>;

    // What a running task asks of its worker.
    class Context {
    public:
        // A newer task came, or the worker is going: the outcome is unwanted.
        bool Stale() const { return id != owner.newest || stop.stop_requested(); }
        // Hands report to the worker's thread; last marks the task's outcome,
        // after which nothing more is collected until the next task.
        void Post(Report report, bool last = false) const;

    private:
        friend class NewestTaskWorker;
        Context(NewestTaskWorker& worker, std::uint64_t task, const std::stop_token& stopping)
            : owner(worker), id(task), stop(stopping)
        {
        }

        NewestTaskWorker& owner;
        std::uint64_t id;
        const std::stop_token& stop;
    };
    using Task = std::function<void(const Context&)>;

    explicit NewestTaskWorker(QObject* parent = nullptr);
    ~NewestTaskWorker() override;

    // Queues task in place of any still waiting; true when it replaced one.
    bool Submit(Task task);

private:
    struct Posted {
        std::uint64_t task = 0;
        Report report;
        bool last = false;
    };

    void Work(std::stop_token stop);
    void Deliver();

    std::atomic<std::uint64_t> newest = 0;
    // Guards waiting and posted, which both threads use; the mutex also
    // orders everything a task or a report carries.
    std::mutex lock;
    std::condition_variable_any wake;
    std::optional<std::pair<std::uint64_t, Task>> waiting;
    std::vector<Posted> posted;
    // Collects the reports on the owner's thread while a task is under way.
    // The worker never calls into Qt, whose own locks ThreadSanitizer cannot
    // see: everything crosses through the mutex.
    QTimer collect;
    std::jthread worker; // last: it stops and joins before the rest goes
};

} // namespace ezedudu

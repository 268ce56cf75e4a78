#include "newest_task_worker.h"

namespace ezedudu {

NewestTaskWorker::NewestTaskWorker(QObject* parent)
    : QObject(parent), worker([this](std::stop_token stop) { Work(std::move(stop)); })
{
    collect.setInterval(1);
    collect.setTimerType(Qt::PreciseTimer);
    connect(&collect, &QTimer::timeout, this, &NewestTaskWorker::Deliver);
}

NewestTaskWorker::~NewestTaskWorker() = default;

bool NewestTaskWorker::Submit(Task task)
{
    const std::uint64_t id = ++newest; // makes the one running stale
    collect.start();
    bool replaced = false;
    {
        const std::lock_guard held(lock);
        replaced = waiting.has_value();
        waiting.emplace(id, std::move(task));
    }
    wake.notify_one();
    return replaced;
}

void NewestTaskWorker::Work(std::stop_token stop)
{
    for (;;) {
        std::pair<std::uint64_t, Task> task;
        {
            std::unique_lock held(lock);
            if (!wake.wait(held, stop, [this] { return waiting.has_value(); }))
                return;
            task = std::move(*waiting);
            waiting.reset();
        }
        task.second(Context(*this, task.first, stop));
    }
}

void NewestTaskWorker::Context::Post(Report report, bool last) const
{
    const std::lock_guard held(owner.lock);
    owner.posted.push_back({id, std::move(report), last});
}

void NewestTaskWorker::Deliver()
{
    std::vector<Posted> arrived;
    {
        const std::lock_guard held(lock);
        arrived.swap(posted);
    }
    for (const Posted& report : arrived) {
        if (report.task != newest)
            continue;
        if (report.last)
            collect.stop(); // until the next task
        report.report();
    }
}

} // namespace ezedudu

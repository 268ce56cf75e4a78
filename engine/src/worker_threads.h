#pragma once

#include <algorithm>
#include <future>
#include <system_error>
#include <thread>
#include <vector>

namespace ezedudu {

// The threads the engine's work may share: the machine's cores, or one
// where the build has no threads (the page's WebAssembly).
inline int AvailableThreads()
{
#if defined(__EMSCRIPTEN__) && !defined(__EMSCRIPTEN_PTHREADS__)
    return 1;
#else
    return int(std::max(1u, std::thread::hardware_concurrency()));
#endif
}

// Runs work(0) on this thread and work(1) to work(count - 1) on threads of
// their own, as many as the system will start: each work must take its
// share as it goes, for one whose thread cannot start is left out. Returns
// when all are done, throwing the exception of the lowest-numbered work
// that threw.
template <typename Work>
void OnThreads(int count, Work&& work)
{
    std::vector<std::future<void>> others;
    try {
        for (int i = 1; i < count; ++i)
            others.push_back(std::async(std::launch::async, work, i));
    } catch (const std::system_error&) {
        // No more threads: those started and this one share the work.
    }
    work(0);
    for (std::future<void>& other : others)
        other.get();
}

} // namespace ezedudu

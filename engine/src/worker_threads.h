#pragma once

#include <algorithm>
#include <future>
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
// their own; returns when all are done, throwing what the first that threw
// threw.
template <typename Work>
void OnThreads(int count, Work&& work)
{
    std::vector<std::future<void>> others;
    for (int i = 1; i < count; ++i)
        others.push_back(std::async(std::launch::async, work, i));
    work(0);
    for (std::future<void>& other : others)
        other.get();
}

} // namespace ezedudu

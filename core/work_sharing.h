// Work shared among threads: the dense depth estimate and the box reduction
// of large pictures.
#pragma once
#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

// Runs body(i, worker) for every i in [0, count) on up to `threads` threads,
// each taking the next i when it is done with one; worker (0 to threads - 1)
// tells which thread runs it, for scratch memory kept per thread. Which thread runs which i
// varies from run to run, so bodies must write disjoint data and depend on
// nothing but i: then the result is the same for any thread count.
template <class Body>
void ForEachShared(int count, int threads, const Body& body) {
    std::atomic<int> next{0};
    auto work = [&](int worker) {
        for (int i = next++; i < count; i = next++) body(i, worker);
    };
    const int extra = std::max(0, std::min(threads, count) - 1);
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(extra));
    // A thread the system cannot start is done without: the others take its
    // share, and the result is the same.
    for (int t = 0; t < extra; ++t) {
        try {
            pool.emplace_back(work, t + 1);
        } catch (const std::system_error&) {
            break;
        }
    }
    work(0);
    for (std::thread& t : pool) t.join();
}

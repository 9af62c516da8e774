// Work shared among threads by the dense depth estimate (app/depth.h).
#pragma once
#include <atomic>
#include <thread>
#include <vector>

// Runs body(i) for every i in [0, count) on up to `threads` threads, each
// taking the next i when it is done with one. Which thread runs which i
// varies from run to run, so bodies must write disjoint data and depend on
// nothing but i: then the result is the same for any thread count.
template <class Body>
void ForEachShared(int count, int threads, const Body& body) {
    std::atomic<int> next{0};
    auto work = [&] {
        for (int i = next++; i < count; i = next++) body(i);
    };
    const int extra = std::max(0, std::min(threads, count) - 1);
    std::vector<std::thread> pool;
    pool.reserve(static_cast<size_t>(extra));
    for (int t = 0; t < extra; ++t) pool.emplace_back(work);
    work();
    for (std::thread& t : pool) t.join();
}

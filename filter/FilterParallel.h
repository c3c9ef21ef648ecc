#pragma once

#include <algorithm>
#include <thread>
#include <vector>

// Splits the items [0, count) into bands, one per thread, when there are at
// least minItems for each; fn(begin, end) runs once per band. Each item is
// computed alone, so the result is the same whatever the number of threads.
template <class Fn> void FilterParallel(int count, int threads, int minItems, Fn&& fn) {
    int bands = std::max(1, std::min(threads, count / std::max(1, minItems)));
    if (bands <= 1) {
        fn(0, count);
        return;
    }
    std::vector<std::thread> workers;
    int band = 1;
    for (; band < bands; ++band) {
        int begin = int(long(count) * band / bands), end = int(long(count) * (band + 1) / bands);
        try {
            workers.emplace_back([&fn, begin, end] { fn(begin, end); });
        } catch (...) {
            break; // no more threads: the rest is done here
        }
    }
    fn(0, int(long(count) / bands));
    for (; band < bands; ++band)
        fn(int(long(count) * band / bands), int(long(count) * (band + 1) / bands));
    for (std::thread& worker : workers)
        worker.join();
}

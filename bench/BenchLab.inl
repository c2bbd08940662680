#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace bench {

template <class F>
double MedianMicroseconds(int calls, F&& call) {
    std::vector<double> times;
    times.reserve(static_cast<std::size_t>(calls));
    for (int i = 0; i < calls; ++i) {
        auto start = std::chrono::steady_clock::now();
        call();
        times.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::nth_element(times.begin(), times.begin() + static_cast<long>(times.size() / 2),
                     times.end());
    return times[times.size() / 2];
}

} // namespace bench

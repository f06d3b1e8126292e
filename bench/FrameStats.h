#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <vector>

// The measured frames of one scene on one device: how long each took and what it allocated.
struct SFrameStats {
    std::vector<double> seconds;   // wall-clock time of each measured frame
    std::uint64_t allocations = 0; // operator new calls within the measured frames
    long framesWithAllocations = 0;
    std::uint64_t drawCalls = 0; // the device's draw calls within the measured frames

    void Reserve(int frames) { seconds.reserve(static_cast<std::size_t>(frames)); }
    void Add(double frameSeconds, std::uint64_t frameAllocations, std::uint64_t frameDraws = 0) {
        seconds.push_back(frameSeconds);
        allocations += frameAllocations;
        drawCalls += frameDraws;
        if (frameAllocations > 0) {
            ++framesWithAllocations;
        }
    }
    long Frames() const { return static_cast<long>(seconds.size()); }
    double Mean() const {
        return seconds.empty() ? 0.0
                               : std::accumulate(seconds.begin(), seconds.end(), 0.0) /
                                     static_cast<double>(seconds.size());
    }
    // The nearest-rank percentile, p in (0, 1]: the smallest time that at least p of the
    // frames do not exceed.
    double Percentile(double p) const {
        if (seconds.empty()) {
            return 0.0;
        }
        std::vector<double> sorted = seconds;
        std::sort(sorted.begin(), sorted.end());
        const auto rank =
            static_cast<std::size_t>(std::ceil(p * static_cast<double>(sorted.size())));
        return sorted[std::clamp<std::size_t>(rank, 1, sorted.size()) - 1];
    }
    double Median() const { return Percentile(0.5); }
    // Frames per second over all measured frames.
    double Fps() const {
        const double mean = Mean();
        return mean > 0.0 ? 1.0 / mean : 0.0;
    }
    double DrawCallsPerFrame() const {
        return seconds.empty()
                   ? 0.0
                   : static_cast<double>(drawCalls) / static_cast<double>(seconds.size());
    }
    double AllocationsPerFrame() const {
        return seconds.empty()
                   ? 0.0
                   : static_cast<double>(allocations) / static_cast<double>(seconds.size());
    }
};

// The median and the smallest of a few values.
inline double MedianOf(std::vector<double> values) {
    if (values.empty()) {
        return 0.0;
    }
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}
inline double MinOf(const std::vector<double>& values) {
    return values.empty() ? 0.0 : *std::min_element(values.begin(), values.end());
}

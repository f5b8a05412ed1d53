#pragma once

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

namespace venmarra::bench {

// Median and spread (min..max) of repeated measurements, and percentiles of samples.
struct Summary {
    double median = 0, min = 0, max = 0;
};

inline double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const double rank = p / 100.0 * static_cast<double>(values.size() - 1);
    const auto low = static_cast<std::size_t>(std::floor(rank));
    const auto high = std::min(low + 1, values.size() - 1);
    return values[low] + (values[high] - values[low]) * (rank - static_cast<double>(low));
}

inline Summary summarise(const std::vector<double> &values)
{
    if (values.empty())
        return {};
    return {percentile(values, 50), *std::min_element(values.begin(), values.end()),
            *std::max_element(values.begin(), values.end())};
}

}  // namespace venmarra::bench

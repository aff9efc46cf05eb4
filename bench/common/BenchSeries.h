#pragma once
// What the benchmarks share: the figures of several rounds, and their command-line numbers.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace bench {

// The values of one measurement over the rounds.
struct Series {
    std::vector<double> values;
    double min() const { return *std::min_element(values.begin(), values.end()); }
    double max() const { return *std::max_element(values.begin(), values.end()); }
    double median() const
    {
        std::vector<double> v = values;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }
};

// The value after the option name, or fallback.
inline const char *argText(int argc, char **argv, const char *name, const char *fallback)
{
    for (int i = 1; i + 1 < argc; ++i)
        if (std::strcmp(argv[i], name) == 0)
            return argv[i + 1];
    return fallback;
}

inline bool hasWord(int argc, char **argv, const char *word)
{
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], word) == 0)
            return true;
    return false;
}

inline int argValue(int argc, char **argv, const char *name, int fallback)
{
    const char *text = argText(argc, argv, name, nullptr);
    return text ? std::atoi(text) : fallback;
}

} // namespace bench

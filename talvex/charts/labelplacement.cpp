#include "talvex/charts/labelplacement.h"

#include <algorithm>
#include <numeric>

namespace talvex::charts {

std::vector<int> spreadLabels(const std::vector<int> &wanted, int height, int lowest, int highest)
{
    const std::size_t n = wanted.size();
    std::vector<int> tops(n);
    if (n == 0 || height <= 0)
        return wanted;
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return wanted[a] < wanted[b]; });

    // Where a run of labels from `first` (in sorted order) may start: the
    // mean of what its labels ask for, each shifted up by its place in the
    // run, kept inside the band.
    struct Run {
        std::size_t first = 0;
        std::size_t count = 0;
        long long sum = 0; // of wanted - place × height
        int top = 0;
    };
    const auto place = [&](Run &run) {
        const long long room = static_cast<long long>(highest) - static_cast<long long>(run.count - 1) * height;
        long long top = run.sum / static_cast<long long>(run.count);
        top = std::min(top, room);
        top = std::max<long long>(top, lowest);
        run.top = int(top);
    };
    std::vector<Run> runs;
    for (std::size_t k = 0; k < n; ++k) {
        Run run{k, 1, wanted[order[k]], 0};
        place(run);
        // Merge with the runs above while they overlap (pool adjacent violators).
        while (!runs.empty()) {
            Run &above = runs.back();
            if (above.top + static_cast<long long>(above.count) * height <= run.top)
                break;
            const long long shift = static_cast<long long>(run.count) * static_cast<long long>(above.count) * height;
            Run merged{above.first, above.count + run.count, above.sum + run.sum - shift, 0};
            place(merged);
            runs.pop_back();
            run = merged;
        }
        runs.push_back(run);
    }
    for (const Run &run : runs)
        for (std::size_t j = 0; j < run.count; ++j)
            tops[order[run.first + j]] = run.top + int(j) * height;
    return tops;
}

} // namespace talvex::charts

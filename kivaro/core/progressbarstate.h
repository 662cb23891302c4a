#pragma once
// The state of one progress bar of a page: its range, position and step.
// Stepping stops at the upper end of the range.

namespace kivaro {

struct ProgressBarState {
    int minimum = 0;
    int maximum = 0;
    int value = 0;

    void setRange(int lower, int upper)
    {
        minimum = lower;
        maximum = upper;
        value = lower;
    }
    void step()
    {
        if (value < maximum)
            ++value;
    }
    bool operator==(const ProgressBarState &) const = default;
};

} // namespace kivaro

#pragma once

#include <algorithm>
#include <cstdint>

// How far a piece of work has come, as a progress bar shows it: `done` of `total` as 0..100,
// or -1 to leave the bar where it stands when the total is not known (zero or less).
inline int ProgressPercent(int64_t done, int64_t total)
{
    if (total <= 0)
        return -1;
    return int(std::clamp<int64_t>(done, 0, total) * 100 / total);
}

// What a progress window keeps apart from its widgets: the bar's position and whether the
// user cancelled. The work reads the cancel flag at each report.
class TProgressState {
public:
    // A window shown anew starts at zero and uncancelled.
    void Start()
    {
        FPercent = 0;
        FCancelled = false;
    }
    void Cancel() { FCancelled = true; }
    bool Cancelled() const { return FCancelled; }
    int Percent() const { return FPercent; }

    // Moves the bar to `done` of `total`; an unknown total leaves it.
    void Report(int64_t done, int64_t total)
    {
        if (const int percent = ProgressPercent(done, total); percent >= 0)
            FPercent = percent;
    }

private:
    int FPercent = 0;
    bool FCancelled = false;
};

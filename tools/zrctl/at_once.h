#pragma once

#include <functional>

namespace lumiq::zrctl {

// Calls `work(i)` for every i from 0 to count - 1, on at most `jobs` threads
// at once (on the caller's when one is enough), and returns when all have
// returned. Once `stop()` is true no further i is begun: those never run.
void ForEachAtOnce(int count, int jobs, const std::function<void(int)>& work,
                   const std::function<bool()>& stop);

}  // namespace lumiq::zrctl

#pragma once

#include <string>

namespace lumiq::sim {

// A simulated scanner's pace as a command line gives it: how long each
// report takes to cross, "1ms", "250us", "0" (no wait) or "2s".
inline constexpr int kLongestPaceMicros = 10'000'000;

// The pace in microseconds; false with `error` when `text` is not a whole
// number with one of the units us, ms or s (or a bare 0), or longer than
// 10 s.
bool ParsePace(const std::string& text, int* micros, std::string* error);

}  // namespace lumiq::sim

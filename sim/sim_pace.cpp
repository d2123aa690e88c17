#include "sim/sim_pace.h"

namespace lumiq::sim {

bool ParsePace(const std::string& text, int* micros, std::string* error) {
  size_t digits = 0;
  long long number = 0;
  while (digits < text.size() && text[digits] >= '0' && text[digits] <= '9') {
    // Past the longest pace the number only has to stay too long.
    if (number <= kLongestPaceMicros) number = number * 10 + (text[digits] - '0');
    ++digits;
  }
  const std::string unit = text.substr(digits);
  long long scale = 0;
  if (unit == "us") {
    scale = 1;
  } else if (unit == "ms") {
    scale = 1000;
  } else if (unit == "s") {
    scale = 1000000;
  } else if (unit.empty() && digits > 0 && number == 0) {
    scale = 1;
  }
  if (digits == 0 || scale == 0) {
    *error = "the pace \"" + text + "\" is not a time such as 1ms, 250us or 0";
    return false;
  }
  if (number * scale > kLongestPaceMicros) {
    *error = "the pace \"" + text + "\" is longer than 10 s a report";
    return false;
  }
  *micros = static_cast<int>(number * scale);
  return true;
}

}  // namespace lumiq::sim

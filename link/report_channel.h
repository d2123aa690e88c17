#pragma once

#include <cstdint>

namespace lumiq {

// One report is 64 bytes of frame data; the HID report id in front of it is
// the transport's business.
inline constexpr int kReportSize = 64;

// Every device command waits this long for each reply report.
inline constexpr int kReplyTimeoutMs = 2000;

// What ReadReport returns when nothing arrived in time or the wait failed.
inline constexpr int kNoReport = -3;

// The two operations the frame codec needs of whatever carries reports.
class ReportChannel {
 public:
  virtual ~ReportChannel() = default;

  // Sends `count` bytes as a run of 64-byte reports, the last one zero-filled.
  // Returns `count` once every report is out; below 1 when the write failed.
  // A `count` of 0 or below is returned unchanged and nothing is written.
  virtual int WriteReports(const uint8_t* data, int count) = 0;

  // Waits up to `timeoutMs` for one report. 64: a valid report was copied to
  // `report` (64 bytes); 0: something arrived that is not a valid report,
  // `report` is untouched; kNoReport: nothing arrived in time or the wait failed.
  virtual int ReadReport(uint8_t* report, int timeoutMs) = 0;
};

}  // namespace lumiq

#pragma once

#include <string>
#include <vector>

#include "tools/zrctl/apply.h"

namespace lumiq::zrctl {

// The longest line SaltLine gives: what a detection script's output keeps.
inline constexpr size_t kSaltLineLimit = 2048;

// check's and apply's closing line, in the form a Salt `cmd.run` with
// `stateful: True` reads from the last line of standard output:
//   changed=no comment="2 scanners compliant"
//   changed=yes comment="2 scanners: 1 changed (qrcode), 1 compliant"
// `changed` is yes when apply sent anything (apply --check: would send).
// The comment holds no `=`, quote or backslash of its own (Salt splits the
// line at blanks outside quotes and each pair at its `=`), and the line is
// at most kSaltLineLimit bytes. `scanners` are the outcomes, a scanner that
// could not be opened with its message; `general` is the first message that
// concerns no one scanner (no scanner found, the profile refused).
std::string SaltLine(ApplyMode mode, const std::vector<ApplyOutcome>& scanners,
                     const std::string& general);

}  // namespace lumiq::zrctl

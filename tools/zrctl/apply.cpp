#include "tools/zrctl/apply.h"

#include <sstream>

#include "profile/known_keys.h"
#include "profile/setting_text.h"
#include "tools/zrctl/commands.h"
#include "tools/zrctl/send.h"
#include "tools/zrctl/verify.h"

namespace lumiq::zrctl {

namespace {

using profile::ProfileEntry;
using profile::Quote;
using profile::QuoteText;

// The read pass: every setting restore would send, in file order, and the
// device number. It stops at the first get that fails: nothing will be sent
// to that scanner anyway, and one that stopped answering would cost the
// reply time-out for every key left.
bool ReadAndCompare(ScannerLink& link, const std::vector<ProfileEntry>& profile,
                    ApplyOutcome* outcome, std::ostream& out, std::ostream& err) {
  bool profileHasDeviceNumber = false;
  for (const ProfileEntry& entry : profile) {
    if (profile::IsReadOnlyKey(entry.key)) continue;
    std::string value;
    const int got = ReadSetting(link, entry.key, &value);
    if (got < 0) {
      const std::string why = DescribeGetFailure(got, value);
      err << "zrctl: get " << Quote(entry.key) << " failed: " << why << "; nothing sent\n";
      outcome->failedKeys.push_back(entry.key);
      outcome->message = "get " + Quote(entry.key) + " failed: " + why;
      return false;
    }
    ++outcome->compared;
    if (entry.key == kDeviceNumberKey) {
      profileHasDeviceNumber = true;
      outcome->deviceNumberRead = true;
      outcome->deviceNumber = value;
    }
    if (value == entry.value) continue;
    out << Quote(entry.key) << ": scanner=" << QuoteText(value, 1024)
        << " profile=" << QuoteText(entry.value, 1024) << '\n';
    outcome->differences.push_back({entry.key, std::move(value), entry.value});
  }
  // Each scanner of a fleet is told apart by its own number, also where the
  // profile leaves it to the scanner.
  if (!profileHasDeviceNumber) {
    std::string value;
    if (ReadSetting(link, kDeviceNumberKey, &value) >= 0) {
      outcome->deviceNumberRead = true;
      outcome->deviceNumber = std::move(value);
    }
  }
  return true;
}

// Where anything differs the whole profile goes out, as restore sends it,
// not only the keys that differ. The scanner has only ever been given whole
// groups: the window's Save sends a channel's `io_outputs` with its
// `io_inits`, `io_monitors` and parameters, `wifi0_apimothed` around them,
// all followed by one commit. A firmware that resets a channel's
// parameters when `io_outputs` changes, or takes the lists only together
// with the channel, would be left half set by a lone `io_outputs`. Sending
// every key costs a few sets more, and only on a scanner that differed.
// Returns how it went, for the scanner's line; what the read-back found
// not stored as sent goes to `readBack`, a line each.
std::string SendAndVerify(ScannerLink& link, const std::vector<ProfileEntry>& profile,
                          ApplyOutcome* outcome, std::ostream& readBack, std::ostream& err) {
  const SentProfile sending = SendProfile(link, profile, err);
  outcome->changed = !sending.sent.empty() || !sending.failedKeys.empty();
  outcome->committed = sending.Committed();
  outcome->failedKeys = sending.failedKeys;
  if (!sending.failedKeys.empty()) {
    outcome->message = "set " + Quote(sending.failedKeys.front()) + " failed";
  }
  std::string done = "sent " + std::to_string(sending.sent.size()) + " settings";
  if (!sending.failedKeys.empty()) {
    done += ", " + std::to_string(sending.failedKeys.size()) + " failed";
  }
  if (!outcome->committed) {
    if (outcome->message.empty()) outcome->message = "commit failed";
    return done + ", commit failed";
  }
  done += ", committed";
  int unverified = 0;
  for (const VerifiedSetting& setting : VerifyStored(link, sending.sent, readBack)) {
    if (setting.key == kDeviceNumberKey && setting.read) outcome->deviceNumber = setting.stored;
    if (setting.Matches()) continue;
    outcome->failedKeys.push_back(setting.key);
    if (outcome->message.empty()) outcome->message = Quote(setting.key) + " not stored as sent";
    ++unverified;
  }
  outcome->verified = sending.failedKeys.empty() && unverified == 0;
  return done + (unverified == 0 ? ", verified"
                                 : ", " + std::to_string(unverified) + " not stored as sent");
}

}  // namespace

ApplyOutcome ApplyProfile(ScannerLink& link, const std::vector<ProfileEntry>& profile,
                          ApplyMode mode, const std::string& note, std::ostream& out,
                          std::ostream& err) {
  ApplyOutcome outcome;
  outcome.read = ReadAndCompare(link, profile, &outcome, out, err);
  const std::string tail = note.empty() ? "\n" : "; " + note + "\n";
  if (!outcome.read) {
    out << (mode == ApplyMode::kCheck ? "not read" : "not read: nothing sent") << tail;
    return outcome;
  }
  const std::string settings = std::to_string(outcome.compared) + " settings";
  outcome.compliant = outcome.differences.empty();
  outcome.verified = outcome.compliant;
  if (outcome.compliant) {
    out << "compliant: " << settings << " as in the profile"
        << (mode == ApplyMode::kCheck ? "" : ", nothing sent") << tail;
    return outcome;
  }
  const std::string differ = std::to_string(outcome.differences.size()) + " of " + settings;
  switch (mode) {
    case ApplyMode::kCheck:
      out << "differs: " << differ << tail;
      break;
    case ApplyMode::kPlan:
      out << "differs: " << differ << "; apply would send all " << outcome.compared
          << " and commit" << tail;
      break;
    case ApplyMode::kApply: {
      std::ostringstream readBack;
      const std::string done = SendAndVerify(link, profile, &outcome, readBack, err);
      out << readBack.str() << differ << " differed: " << done << tail;
      break;
    }
  }
  return outcome;
}

int ApplyStatus(const ApplyOutcome& outcome, ApplyMode mode) {
  if (!outcome.read) return kExitUnreachable;
  if (outcome.compliant) return kExitOk;
  if (mode != ApplyMode::kApply) return kExitFailed;
  return outcome.committed && outcome.verified ? kExitOk : kExitFailed;
}

}  // namespace lumiq::zrctl

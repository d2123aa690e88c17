#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace lumiq::sim {

// One command as the scanner understood it.
struct ReceivedCommand {
  uint8_t command = 0;  // 0x01 handshake, 0x07 set, 0x08 get, 0x09 commit, other: unknown
  std::string key;
  std::string value;
};

// Ways to make the scanner misbehave. Command numbers count every request
// frame received, the handshake being the first (1-based); 0 means never.
struct ScannerFaults {
  int silentFrom = 0;             // no reply from this command on
  int unplugFrom = 0;             // gone from this command on: writes and reads fail
  std::set<std::string> refusedKeys;    // get/set of these answered with status 1
  std::set<uint8_t> refusedCommands;    // these commands answered with status 1
  // A set of one of these keys is acknowledged, but the key then holds the
  // mapped value, not the one sent: a scanner that stores something else
  // and says nothing.
  std::map<std::string, std::string> keptValues;
  int lateReplyAt = 0;            // this reply arrives only after the reader timed out
  int wrongSizeReportAt = 0;      // an input transfer of the wrong size comes before this reply
  int wrongReportSize = 64;       // ... of this many bytes (64: an unnumbered report)
  int nonZeroReportIdAt = 0;      // a report with report id 1 comes before this reply
  int strayReportAfter = 0;       // an unasked copy of this reply's last report follows it
  int replyPadding = 0;           // extra data bytes in set and commit replies,
                                  // spreading them over more reports
  int refusalData = 0;            // data bytes (zeros) carried by every refusal
  bool continuationsInFlight = false;  // a reply's second and later reports have
                                  // not crossed yet when the host looks without
                                  // waiting; a waiting read gets them
};

// A stand-in for the scanner module: a key/value store that answers each
// request frame with one reply frame cut into 64-byte reports, report by
// report, as the real module does. It keeps the settings it is given in
// bytes, whatever they hold, and records every command in order.
//
// Threads: the wire (the reports, the hold, the cable) may be used from
// several threads at once, as several programs or links would; each call
// takes the scanner's own lock. The store, the faults and the record are
// set up and looked at while no one is talking to the scanner.
class SimulatedScanner {
 public:
  SimulatedScanner() = default;

  // The store. A key it does not hold reads as the empty value.
  std::map<std::string, std::string>& Settings() { return settings_; }
  const std::map<std::string, std::string>& Settings() const { return settings_; }
  void Set(const std::string& key, const std::string& value) { settings_[key] = value; }
  std::string Value(const std::string& key) const;

  ScannerFaults& Faults() { return faults_; }
  const std::vector<ReceivedCommand>& Received() const { return received_; }
  void ClearReceived() { received_.clear(); }

  // Called after each commit the scanner accepts (to write a seed file back).
  std::function<void()> onCommit;

  // --- the wire, one report at a time ---

  // Takes one output report's 64 data bytes. false when the scanner is gone.
  bool AcceptReport(const uint8_t* data);
  // The next input transfer, normally 65 bytes with report id 0. false when
  // nothing is queued (a reader then times out: call NoteReadTimedOut), or
  // when `waiting` is false and the next one is still crossing.
  bool TakeInput(std::vector<uint8_t>* transfer, bool waiting = true);
  // A reader gave up waiting; a late reply is released now.
  void NoteReadTimedOut();
  bool IsUnplugged() const;
  // Pulls the cable now: queued input is lost, a half-received request too,
  // and the interface is no longer held.
  void Unplug();
  // Plugs it in again (and clears an unplugFrom fault): a new device, so
  // handles opened before the unplug stay dead. The settings are kept, as
  // the module keeps them without power.
  void Plug();
  // How often it was plugged in again: what tells a handle of an earlier
  // plug from a new one.
  int Plugs() const;
  int CommandCount() const { return commandCount_; }

  // The hold a read handle takes on the configuration interface (see
  // SimPlatform), named by the platform and its handle. Shared by every
  // platform the scanner is added to, as the kernel's lock is shared by every
  // program. Hold is false while another handle holds it.
  bool IsHeld() const;
  bool Hold(const void* platform, long handle);
  void Release(const void* platform, long handle);

 private:
  // The parts of the wire that run under the lock.
  void UnplugLocked();
  bool TakeReport(const uint8_t* data, bool* committed);
  // true when the frame was a commit the scanner accepted.
  bool HandleFrame(const std::vector<uint8_t>& frame);
  // The reply frame: the request's header, command and sub-command echoed,
  // status, data length, data, XOR checksum.
  static std::vector<uint8_t> Answer(const std::vector<uint8_t>& request,
                                     uint8_t status, const std::string& data);
  void QueueReply(const std::vector<uint8_t>& frame);
  static std::vector<uint8_t> Transfer(const uint8_t* report, size_t size);

  mutable std::mutex wire_;
  std::map<std::string, std::string> settings_;
  ScannerFaults faults_;
  std::vector<ReceivedCommand> received_;
  std::vector<uint8_t> pending_;  // request frame being assembled
  size_t pendingSize_ = 0;        // its full length, from its length field
  struct Input {
    std::vector<uint8_t> transfer;
    bool crossing = false;  // not visible to a look without waiting yet
  };
  std::deque<Input> input_;
  const void* holderPlatform_ = nullptr;
  long holderHandle_ = -1;
  std::vector<std::vector<uint8_t>> late_;
  int commandCount_ = 0;
  bool unplugged_ = false;
  int plugs_ = 0;
};

// One trace line per command: "HANDSHAKE", "GET key", "SET key=value",
// "COMMIT"; bytes of key and value escaped as in seed files.
std::string FormatCommand(const ReceivedCommand& command);

}  // namespace lumiq::sim

// The simulated scanner (sim/) for the page's stand-in navigator.hid
// (standin-hid.js): the demo's scanner, and the tests' scanner that answers
// the WebHID backend report by report and records every command it got.

#include <emscripten.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "sim/demo_configuration.h"
#include "sim/seed_file.h"
#include "sim/simulated_scanner.h"

namespace {

std::deque<lumiq::sim::SimulatedScanner>& Scanners() {
  static std::deque<lumiq::sim::SimulatedScanner> scanners;
  return scanners;
}

lumiq::sim::SimulatedScanner* At(int index) {
  if (index < 0 || static_cast<size_t>(index) >= Scanners().size()) return nullptr;
  return &Scanners()[static_cast<size_t>(index)];
}

std::string& Returned() {
  static std::string text;
  return text;
}

}  // namespace

extern "C" {

// A scanner holding `seed` (seed-file text; empty: the demo's settings).
// Its number, or -1 with the reason in sim_error().
EMSCRIPTEN_KEEPALIVE int sim_add(const char* seed) {
  const std::string text = seed ? seed : "";
  lumiq::sim::SettingList settings;
  if (!text.empty()) {
    lumiq::sim::SeedError error;
    if (!lumiq::sim::ParseSeed(text, &settings, &error)) {
      Returned() = error.Describe();
      return -1;
    }
  }
  lumiq::sim::SimulatedScanner& scanner = Scanners().emplace_back();
  if (text.empty()) lumiq::sim::SeedDemoScanner(scanner);
  for (const auto& [key, value] : settings) scanner.Set(key, value);
  return static_cast<int>(Scanners().size()) - 1;
}

EMSCRIPTEN_KEEPALIVE const char* sim_error() { return Returned().c_str(); }

EMSCRIPTEN_KEEPALIVE void sim_silent_from(int index, int command) {
  if (auto* scanner = At(index)) scanner->Faults().silentFrom = command;
}

// One output report's 64 data bytes; 0 when the scanner is gone.
EMSCRIPTEN_KEEPALIVE int sim_accept(int index, const uint8_t* data) {
  auto* scanner = At(index);
  return scanner && scanner->AcceptReport(data) ? 1 : 0;
}

// The next input transfer (report id, then data) into `out`; its size, or
// -1 when nothing is queued.
EMSCRIPTEN_KEEPALIVE int sim_take(int index, uint8_t* out, int capacity) {
  auto* scanner = At(index);
  std::vector<uint8_t> transfer;
  if (!scanner || !scanner->TakeInput(&transfer)) return -1;
  const size_t size = transfer.size() < static_cast<size_t>(capacity) ? transfer.size()
                                                                       : static_cast<size_t>(capacity);
  for (size_t i = 0; i < size; ++i) out[i] = transfer[i];
  return static_cast<int>(transfer.size());
}

EMSCRIPTEN_KEEPALIVE void sim_unplug(int index) {
  if (auto* scanner = At(index)) scanner->Unplug();
}
EMSCRIPTEN_KEEPALIVE void sim_plug(int index) {
  if (auto* scanner = At(index)) scanner->Plug();
}

// Every command the scanner got, one a line, as the desktop runner's trace.
EMSCRIPTEN_KEEPALIVE const char* sim_trace(int index) {
  Returned().clear();
  if (auto* scanner = At(index)) {
    for (const auto& command : scanner->Received()) {
      Returned() += lumiq::sim::FormatCommand(command) + '\n';
    }
  }
  return Returned().c_str();
}

}  // extern "C"

#pragma once

#include "sim/simulated_scanner.h"

namespace lumiq::sim {

// The built-in demo scanner's settings in seed-file text: a module set up for
// Wi-Fi output over TCP, with NFC on and every page's keys holding values
// from their vocabularies, so each page shows something on first connect.
const char* DemoSeedText();

// Loads the demo settings into `scanner` (over what it holds).
void SeedDemoScanner(SimulatedScanner& scanner);

}  // namespace lumiq::sim

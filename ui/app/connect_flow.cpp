#include "ui/app/connect_flow.h"

#include "link/device_commands.h"

namespace lumiq::ui::app {

namespace {

ConnectOutcome Finish(ConnectWindow& window, const ConnectResult& result) {
  window.ShowMessage(result.message);
  if (result.Connected()) window.OpenSettings();
  return result.outcome;
}

}  // namespace

ConnectOutcome RunConnect(ConnectWindow& window) {
  window.DropSettings();
  std::vector<ScannerIdentity> present = PresentScanners(CurrentHidPlatform());
  if (present.size() == 1) return Finish(window, ConnectToScannerAt(present.front().info.path));
  // None: discovery once more, so that its failure and cause are the link's
  // own and a link held before stays.
  if (present.empty()) return Finish(window, ConnectToScanner());
  CloseDevice();
  window.OpenChooser(ReadChoices(std::move(present)));
  return ConnectOutcome::kChoosing;
}

ConnectOutcome ConnectChosen(ConnectWindow& window, const ScannerChoice& choice) {
  return Finish(window, ConnectToScannerAt(choice.path));
}

ConnectOutcome OpenProfile(ConnectWindow& window, const ChosenFile& file) {
  std::string refusal;
  std::unique_ptr<FileSource> source = FileSource::Read(file, &refusal);
  if (!source) {
    window.ShowMessage(refusal);
    return ConnectOutcome::kNoDevice;
  }
  window.DropSettings();
  window.OpenSettingsOn(std::move(source));
  return ConnectOutcome::kConnected;
}

}  // namespace lumiq::ui::app

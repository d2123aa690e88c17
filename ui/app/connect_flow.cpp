#include "ui/app/connect_flow.h"

namespace lumiq::ui::app {

ConnectOutcome RunConnect(ConnectWindow& window) {
  window.DropSettings();
  const ConnectResult result = ConnectToScanner();
  window.ShowMessage(result.message);
  if (result.Connected()) window.OpenSettings();
  return result.outcome;
}

}  // namespace lumiq::ui::app

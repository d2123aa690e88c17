#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::ui::app {

// How a settings window behaves, whatever draws it: opening reads the
// scanner into the pages, "保存" sends them, "导入配置..." and "导出配置..."
// take a configuration file. Each call returns what the window shows; the
// binding creates, places and rebuilds the pages and shows the messages.
class SettingsSession {
 public:
  // What opening the window does: the pages' Loads from the scanner, before
  // the window first shows. The keys whose get failed are kept.
  void Open(const PagesByTab& pages);
  const std::vector<std::string>& LoadFailedKeys() const { return loadFailed_; }
  // Shown once the window is up, so the operator sees which page it is
  // about; nullopt when every get worked.
  std::optional<std::string> OpeningMessage() const;

  struct Saved {
    SaveOutcome outcome;
    std::string message;  // UTF-8
  };
  // What "保存" does: S1 to S9, then the outcome's message. What was
  // stored is then what the window knows the scanner holds.
  Saved Save(const PagesByTab& pages);

  // What "导入配置..." does once `chooser` gave a file (nullopt: it was
  // cancelled, nothing happens). On success calls `rebuild`, which replaces
  // the five pages by fresh ones from their templates and returns them.
  template <typename Rebuild>
  std::optional<TransferResult> Import(const PagesByTab& pages, FileChooser& chooser,
                                       Rebuild&& rebuild) {
    const std::optional<ChosenFile> file = chooser.Choose(FileChoice::kImport);
    if (!file) return std::nullopt;
    return transfer_.Import(PagesOf(pages), *file,
                            [&rebuild] { return PagesOf(rebuild()); });
  }
  // What "更改输出方式..." does once `chooser` gave a channel (nullopt: it
  // was cancelled, or named no channel; nothing happens). Calls `rebuild`
  // as an import does.
  template <typename Rebuild>
  std::optional<TransferResult> SwitchChannel(const PagesByTab& pages, ChannelChooser& chooser,
                                              Rebuild&& rebuild) {
    const PageSet shown = PagesOf(pages);
    const std::optional<std::string> output = chooser.Choose(ChannelChecked(shown.outputMethod));
    const OutputChannel* channel = output ? FindOutputChannel(*output) : nullptr;
    if (!channel) return std::nullopt;
    return transfer_.SwitchChannel(shown, *channel, [&rebuild] { return PagesOf(rebuild()); });
  }

  // What "导出配置..." does once `chooser` gave a file.
  std::optional<TransferResult> Export(const PagesByTab& pages, FileChooser& chooser) const;

  // The file side of both, for tests and tools.
  const ProfileTransfer& Transfer() const { return transfer_; }

 private:
  std::vector<std::string> loadFailed_;
  ProfileTransfer transfer_;
};

}  // namespace lumiq::ui::app

#include "ui/app/settings_session.h"

namespace lumiq::ui::app {

void SettingsSession::Open(const PagesByTab& pages) {
  PageSet set = PagesOf(pages);
  SettingMap loaded;
  loadFailed_ = LoadPages(set, &loaded);
  transfer_.SetLoaded(std::move(loaded));
}

std::optional<std::string> SettingsSession::OpeningMessage() const {
  if (loadFailed_.empty()) return std::nullopt;
  return LoadFailureMessage(loadFailed_);
}

SettingsSession::Saved SettingsSession::Save(const PagesByTab& pages) {
  Saved saved;
  saved.outcome = SavePages(PagesOf(pages));
  if (!saved.outcome.commitFailed) transfer_.NoteSaved(PagesOf(pages), saved.outcome.failedKeys);
  saved.message = SaveMessage(saved.outcome);
  return saved;
}

std::optional<TransferResult> SettingsSession::Export(const PagesByTab& pages,
                                                      FileChooser& chooser) const {
  const std::optional<ChosenFile> file = chooser.Choose(FileChoice::kExport);
  if (!file) return std::nullopt;
  return transfer_.Export(PagesOf(pages), *file);
}

}  // namespace lumiq::ui::app

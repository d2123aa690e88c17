#pragma once

#include <optional>

#include "ui/app/profile_transfer.h"

class QWidget;

namespace lumiq::ui::qt {

// The toolkit's own file dialogs for the settings window's configuration
// files, owned by `owner`.
class QtFileChooser final : public app::FileChooser {
 public:
  explicit QtFileChooser(QWidget* owner) : owner_(owner) {}
  std::optional<app::ChosenFile> Choose(app::FileChoice choice) override;

 private:
  QWidget* owner_;
};

}  // namespace lumiq::ui::qt

#pragma once

#include <vector>

#include <QDialog>

#include "ui/app/scanner_choice.h"
#include "ui/qt/dialog_builder.h"

class QListWidget;

namespace lumiq::ui::qt {

// The scanner chooser (template 103): one row per scanner, the first
// selected. Enter, "确定" or a double click on a row accepts it; Escape and
// "取消" reject. What an accepted row leads to is the connect dialog's.
class ChooserDialog : public QDialog {
  Q_OBJECT

 public:
  ChooserDialog(std::vector<app::ScannerChoice> choices, QWidget* parent);

  QListWidget* List() const { return list_; }
  // The selected row's choice, or nullptr when no row is selected.
  const app::ScannerChoice* Chosen() const;

  const BuiltDialog& Controls() const { return controls_; }

 private:
  std::vector<app::ScannerChoice> choices_;
  BuiltDialog controls_;
  QListWidget* list_ = nullptr;
};

}  // namespace lumiq::ui::qt

#pragma once

#include <QDialog>

#include "ui/qt/dialog_builder.h"

namespace lumiq::ui::qt {

// The About box (template 100): icon, name and version, maker, web address
// and "确定". OK and Escape close it; it does nothing else.
class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  explicit AboutDialog(QWidget* parent = nullptr);
  const BuiltDialog& Controls() const { return controls_; }

 private:
  BuiltDialog controls_;
};

}  // namespace lumiq::ui::qt

#pragma once

#include <memory>

#include <QString>

#include "ui/app/settings_session.h"

class QMessageBox;
class QWidget;

namespace lumiq::ui::qt {

// Every message the windows show passes here: a plain OK box with the
// program's name as caption, owned by `owner`, returning once closed. The
// application shows real message boxes; tests and the headless runner record
// or print them without a modal loop.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  virtual void Show(QWidget* owner, const QString& text) = 0;
  // A question with Save, Discard and Cancel; a sink that cannot ask
  // cancels, so that nothing is lost.
  virtual app::SettingsSession::CloseAnswer Ask(QWidget* /*owner*/, const QString& /*text*/) {
    return app::SettingsSession::CloseAnswer::kCancel;
  }
};

class MessageBoxSink final : public MessageSink {
 public:
  void Show(QWidget* owner, const QString& text) override;
  app::SettingsSession::CloseAnswer Ask(QWidget* owner, const QString& text) override;
  // The box Show runs, not yet shown (for measuring it).
  static std::unique_ptr<QMessageBox> Build(QWidget* owner, const QString& text);
};

}  // namespace lumiq::ui::qt

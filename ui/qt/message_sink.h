#pragma once

#include <memory>

#include <QString>

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
};

class MessageBoxSink final : public MessageSink {
 public:
  void Show(QWidget* owner, const QString& text) override;
  // The box Show runs, not yet shown (for measuring it).
  static std::unique_ptr<QMessageBox> Build(QWidget* owner, const QString& text);
};

}  // namespace lumiq::ui::qt

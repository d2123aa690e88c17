// lumiq-headless on the Qt binding: the runner's options, actions and
// printed lines are ui/app's; this file only drives the Qt windows, unseen.

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QBuffer>
#include <QKeyEvent>
#include <QListWidget>
#include <QPixmap>
#include <QTabWidget>

#include "ui/app/headless_run.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/chooser_dialog.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/gbk_text.h"
#include "ui/qt/message_sink.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/translations.h"
#include "ui/qt/user_actions.h"

namespace {

using lumiq::ui::app::UserAction;
using lumiq::ui::qt::ConnectDialog;
using lumiq::ui::qt::SettingsWindow;

// Prints each message box instead of showing it; OK is implied.
class PrintingSink final : public lumiq::ui::qt::MessageSink {
 public:
  void Show(QWidget* /*owner*/, const QString& text) override {
    lumiq::ui::app::PrintMessage(text.toStdString());
  }
  lumiq::ui::app::SettingsSession::CloseAnswer Ask(QWidget* /*owner*/,
                                                   const QString& text) override {
    return lumiq::ui::app::AnswerQuestion(text.toStdString());
  }
};

// The widget as it is painted, as PNG bytes: the runner writes the file.
lumiq::ui::app::Screenshot Shot(QWidget* widget, const QString& name) {
  QCoreApplication::processEvents();
  lumiq::ui::app::Screenshot shot;
  shot.name = name.toStdString();
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (widget->grab().save(&buffer, "PNG")) {
    shot.png = png.toStdString();
  } else {
    shot.error = "the picture could not be made into a PNG";
  }
  return shot;
}

class QtHost final : public lumiq::ui::app::HeadlessHost {
 public:
  QtHost() : dialog_(messages_) {
    dialog_.SetRunSettingsModally(false);
    dialog_.show();
    QCoreApplication::processEvents();
  }

  lumiq::ui::app::ConnectOutcome Connect() override {
    const auto outcome = dialog_.Connect();
    QCoreApplication::processEvents();  // the load message, if any
    return outcome;
  }

  lumiq::ui::app::ConnectOutcome OpenFile(const std::string& file) override {
    // The button pressed; its file dialog answers with `file`.
    lumiq::ui::app::GivenFileChooser chooser(file);
    dialog_.UseFileChooser(&chooser);
    const auto outcome = dialog_.OpenProfile();
    dialog_.UseFileChooser(nullptr);
    QCoreApplication::processEvents();  // the opening message, if any
    return outcome;
  }

  std::vector<std::string> ChooserRows() const override {
    std::vector<std::string> rows;
    if (lumiq::ui::qt::ChooserDialog* chooser = dialog_.Chooser()) {
      for (int row = 0; row < chooser->List()->count(); ++row) {
        rows.push_back(chooser->List()->item(row)->text().toStdString());
      }
    }
    return rows;
  }

  void Pick(int row) override {
    lumiq::ui::qt::ChooserDialog* chooser = dialog_.Chooser();
    if (!chooser) return;
    chooser->List()->setCurrentRow(row);
    // Enter in the list: the list passes it on to the dialog's default button.
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(chooser->List(), &press);
    QApplication::sendEvent(chooser->List(), &release);
    QCoreApplication::processEvents();
  }

  bool HasSettings() const override {
    return dialog_.Settings() != nullptr && dialog_.Settings()->isVisible();
  }

  bool Apply(const UserAction& action, std::string* note) override {
    SettingsWindow& window = *dialog_.Settings();
    // The scanner's serial port is a simulated one, and every scan is printed.
    window.UseSerialPorts(&serial_);
    window.SetScanListener(lumiq::ui::app::PrintScan);
    const bool changed = lumiq::ui::qt::ApplyUserAction(window, action, note, &serial_);
    QCoreApplication::processEvents();
    return changed;
  }

  std::vector<lumiq::ui::app::Screenshot> TakeScreenshots() override {
    std::vector<lumiq::ui::app::Screenshot> shots;
    shots.push_back(Shot(&dialog_, QStringLiteral("connect.png")));
    {
      lumiq::ui::qt::AboutDialog about(&dialog_);
      about.show();
      shots.push_back(Shot(&about, QStringLiteral("about.png")));
    }
    if (SettingsWindow* window = dialog_.Settings()) {
      for (int tab = 0; tab < SettingsWindow::kPageCount; ++tab) {
        window->Tabs()->setCurrentIndex(tab);
        shots.push_back(Shot(window, QStringLiteral("settings-tab%1.png").arg(tab)));
      }
      if (lumiq::ui::qt::TestScanWindow* scan = window->TestScan()) {
        shots.push_back(Shot(scan, QStringLiteral("testscan.png")));
      }
    }
    return shots;
  }

  void CloseSettings() override {
    if (SettingsWindow* window = dialog_.Settings()) window->CloseWithoutAsking();
  }

 private:
  PrintingSink messages_;
  lumiq::ui::app::FedSerialPorts serial_;
  ConnectDialog dialog_;
};

}  // namespace

int main(int argc, char** argv) {
  std::unique_ptr<QApplication> application;
  return lumiq::ui::app::HeadlessMain(
      argc, argv, lumiq::ui::qt::SystemLanguage,
      [&]() -> std::unique_ptr<lumiq::ui::app::HeadlessHost> {
        // Never on a screen, whatever display there is.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int qtArgc = 1;
        static char* qtArgv[] = {argv[0], nullptr};
        application = std::make_unique<QApplication>(qtArgc, qtArgv);
        lumiq::ui::qt::UseLanguage(lumiq::i18n::CurrentLanguage());
        if (!lumiq::ui::qt::GbkAvailable()) {
          std::fputs("lumiq-headless: the C library has no GBK converter (glibc's gconv modules)\n", stderr);
          return nullptr;
        }
        return std::make_unique<QtHost>();
      });
}

#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/app/settings_session.h"
#include "ui/pages/settings_sequence.h"
#include "ui/qt/file_chooser.h"
#include "ui/qt/dialog_builder.h"
#include "ui/qt/page_controls.h"
#include "ui/qt/tab_control.h"
#include "ui/qt/test_scan_window.h"

class QPushButton;

namespace lumiq::ui::qt {

class MessageSink;

// The tabbed settings window (template 134). Building it creates the five
// pages in page order and runs their Loads, so the scanner is read before
// the window first shows. "保存" runs the Save sequence and reports it;
// "导入配置..." and "导出配置..." take a configuration file through a file
// dialog and send nothing; "退出", Escape and the close box end the window
// without writing. The window opens with the focus on the tab headers; Enter
// clicks the push button that has the focus and does nothing elsewhere.
class SettingsWindow : public QDialog {
  Q_OBJECT

 public:
  static constexpr int kPageCount = app::kPageCount;

  // On the scanner behind the connection, or on `source` (a profile file).
  explicit SettingsWindow(MessageSink& messages, QWidget* parent = nullptr,
                          std::unique_ptr<app::DocumentSource> source = nullptr);
  ~SettingsWindow() override;

  // The template of tab `tab` (app::kPageTabs), or 0.
  static int TemplateOfTab(int tab);
  QtPageControls& PageControlsAt(int tab) { return *pages_[static_cast<size_t>(tab)].controls; }
  QWidget* PageAt(int tab) const { return pages_[static_cast<size_t>(tab)].widget; }
  // The page built from `templateId`, or nullptr.
  QtPageControls* PageByTemplate(int templateId);
  int TabOfTemplate(int templateId) const;

  TabControl* Tabs() const { return tabs_; }
  QPushButton* SaveButton() const { return save_; }
  QPushButton* ExitButton() const { return exit_; }
  QPushButton* ImportButton() const { return import_; }
  QPushButton* ExportButton() const { return export_; }
  QPushButton* ApplyButton() const { return apply_; }
  QPushButton* TestScanButton() const { return testScan_; }
  const BuiltDialog& Controls() const { return controls_; }

  // Keys whose get failed while the pages loaded.
  const std::vector<std::string>& LoadFailedKeys() const { return session_.LoadFailedKeys(); }

  // What "保存" does: S1 to S9, then the outcome's message.
  SaveOutcome Save();

  // What "导入配置..." and "导出配置..." do: ask the chooser for a file,
  // then import or export it and show the outcome. nullopt when the choice
  // was cancelled.
  std::optional<app::TransferResult> Import();
  std::optional<app::TransferResult> Export();
  // The file dialogs the two buttons open; nullptr: the toolkit's own.
  // Not owned.
  void UseFileChooser(app::FileChooser* chooser) { chooser_ = chooser; }

  // The window's profile file, or nullptr on a scanner.
  const app::ChosenFile* File() const { return session_.File(); }
  // "应用到设备..." calls `apply`, which connects (the connect dialog's
  // flow) and on success calls AttachScanner.
  void SetApplyHandler(std::function<void()> apply) { applyHandler_ = std::move(apply); }
  // The window now stands for the connected scanner, its pages unchanged.
  void AttachScanner();
  // Ends the window without the question a file with unsaved edits asks
  // (the runner's end).
  void CloseWithoutAsking();
  void done(int result) override;

  // What "更改输出方式..." on the output method page does: the channel
  // dialog, then the pages rebuilt on the chosen channel and the outcome
  // shown. nullopt when cancelled.
  std::optional<app::TransferResult> SwitchChannel();
  // The channel dialog; nullptr: the window's own. Not owned.
  void UseChannelChooser(app::ChannelChooser* chooser) { channelChooser_ = chooser; }

  // What "扫描测试..." does: the test-scan window on the pages as they show
  // now, modal unless SetRunTestScanModally(false) (the runner, tests), in
  // which case it stays until the next one or the end of this window.
  TestScanWindow* OpenTestScan();
  TestScanWindow* TestScan() const { return testScanWindow_.get(); }
  void SetRunTestScanModally(bool modal) { testScanModal_ = modal; }
  // The serial ports the test-scan window lists; nullptr: the system's.
  // Not owned.
  void UseSerialPorts(app::SerialPorts* ports) { serialPorts_ = ports; }
  void SetScanListener(std::function<void(const app::ScanReport&)> listener) {
    scanListener_ = std::move(listener);
  }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Page {
    QWidget* widget = nullptr;
    std::unique_ptr<QtPageControls> controls;
  };
  app::PagesByTab Pages();
  // The five pages fresh from their templates, in place of the old ones.
  void RebuildPages();
  // The keyboard's order over the window: the tab headers, the pages'
  // controls, then the buttons (Tab skips what the hidden pages hold).
  void ChainKeyboardOrder();
  app::FileChooser& Chooser() { return chooser_ ? *chooser_ : dialogs_; }
  void ShowLoadFailure();
  // The title and the tab headers, marked for the settings changed.
  void RefreshMarks();
  // Every control of the pages calls RefreshMarks when the user changes it.
  void WatchChanges();
  // The buttons the pages hold that act on the window.
  void ConnectPageButtons();

  MessageSink& messages_;
  BuiltDialog controls_;
  TabControl* tabs_ = nullptr;
  QPushButton* save_ = nullptr;
  QPushButton* exit_ = nullptr;
  QPushButton* import_ = nullptr;
  QPushButton* export_ = nullptr;
  QPushButton* apply_ = nullptr;
  std::function<void()> applyHandler_;
  bool closing_ = false;
  QPushButton* testScan_ = nullptr;
  std::array<Page, kPageCount> pages_;
  bool loadFailureReported_ = false;
  app::SettingsSession session_;
  QtFileChooser dialogs_{this};
  app::FileChooser* chooser_ = nullptr;
  app::ChannelChooser* channelChooser_ = nullptr;
  std::unique_ptr<TestScanWindow> testScanWindow_;
  bool testScanModal_ = true;
  app::SerialPorts* serialPorts_ = nullptr;
  std::function<void(const app::ScanReport&)> scanListener_;
};

}  // namespace lumiq::ui::qt

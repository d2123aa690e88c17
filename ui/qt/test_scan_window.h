#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include <QDialog>
#include <QElapsedTimer>
#include <QTimer>

#include "ui/app/output_channels.h"
#include "ui/app/test_scan.h"
#include "ui/qt/dialog_builder.h"

class QComboBox;
class QLabel;
class QListWidget;

namespace lumiq::ui::qt {

// "扫描测试..." (template 145): each scan as it arrives, against what the
// settings window's pages show now. On the keyboard channel every key that
// reaches the window is a scan's, Escape, Enter and Tab included: only the
// close box and "关闭" end it. On the serial channel the port chosen in the
// list is opened with the page's line settings and polled.
class TestScanWindow : public QDialog {
  Q_OBJECT

 public:
  TestScanWindow(const PageSet& pages, app::SerialPorts& ports, QWidget* parent);
  ~TestScanWindow() override;

  // Each scan reported, after the window shows it (the runner prints it).
  void SetScanListener(std::function<void(const app::ScanReport&)> listener) {
    listener_ = std::move(listener);
  }
  // The milliseconds keys are stamped with; the window's own clock unless set.
  void UseClock(std::function<uint32_t()> clock) { clock_ = std::move(clock); }

  const app::TestScanSession& Session() const { return session_; }
  // Reads the port and ends a scan whose pause has passed (the timer's work).
  void Poll();
  // Ends the scan in progress at once, as its pause would.
  void EndScan();

  QListWidget* Scans() const { return list_; }
  QListWidget* Details() const { return details_; }
  QComboBox* PortList() const { return ports_; }
  const BuiltDialog& Controls() const { return controls_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Show(const app::ScanReport& report);
  void ShowDetails(int row);
  void OpenPort(const QString& name);
  void SetText(int id, const std::string& text);
  uint32_t Now() const;

  app::SerialPorts& serialPorts_;
  app::TestScanSession session_;
  BuiltDialog controls_;
  QListWidget* list_ = nullptr;
  QListWidget* details_ = nullptr;
  QComboBox* ports_ = nullptr;
  std::vector<app::ScanReport> reports_;
  std::function<void(const app::ScanReport&)> listener_;
  std::function<uint32_t()> clock_;
  QElapsedTimer elapsed_;
  QTimer poll_;
};

// "更改输出方式..." (template 146): the four channels, the current one
// selected; OK gives the chosen one's `io_outputs` value.
class QtChannelChooser final : public app::ChannelChooser {
 public:
  explicit QtChannelChooser(QWidget* parent) : parent_(parent) {}
  std::optional<std::string> Choose(const app::OutputChannel* current) override;

 private:
  QWidget* parent_;
};

}  // namespace lumiq::ui::qt

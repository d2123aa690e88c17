#include "ui/qt/test_scan_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "res/ids/app_ids.h"
#include "ui/app/output_channels.h"
#include "ui/qt/opening_focus.h"
#include "ui/qt/program_icon.h"
#include "ui/qt/translations.h"

namespace lumiq::ui::qt {

namespace {

// How often the port is read and a pause looked for.
constexpr int kPollMs = 20;

}  // namespace

TestScanWindow::TestScanWindow(const PageSet& pages, app::SerialPorts& ports, QWidget* parent)
    : QDialog(parent), serialPorts_(ports), session_(pages) {
  const res::DialogTemplate& dialog = *res::FindDialogTemplate(res::kTestScanTemplateId);
  controls_ = BuildDialog(dialog, this);
  setWindowTitle(Translated(dialog.caption));
  setWindowIcon(ProgramIcon());
  setFixedSize(DialogClientSize(controls_));
  elapsed_.start();

  list_ = qobject_cast<QListWidget*>(controls_.Find(res::kTestScanList));
  details_ = qobject_cast<QListWidget*>(controls_.Find(res::kTestScanDetails));
  ports_ = qobject_cast<QComboBox*>(controls_.Find(res::kTestScanPortCombo));
  if (auto* channel = qobject_cast<QLabel*>(controls_.Find(res::kTestScanChannelText))) {
    channel->setWordWrap(true);
  }
  list_->setAccessibleName(Translated(app::kTestScanTitle));
  SetText(res::kTestScanChannelText, session_.ChannelText());
  SetText(res::kTestScanCodeFraming, session_.CodeFramingText());
  SetText(res::kTestScanCardFraming, session_.CardFramingText());
  SetText(res::kTestScanTiming, session_.TimingText());
  controls_.Find(res::kTestScanCardFraming)->setVisible(!session_.CardFramingText().empty());

  const bool serial = session_.Channel() == app::ScanChannel::kSerial;
  for (int id : {res::kTestScanPortLabel, res::kTestScanPortCombo, res::kTestScanPortStatus}) {
    controls_.Find(id)->setVisible(serial);
  }
  if (serial) {
    for (const std::string& port : session_.Ports(serialPorts_)) {
      ports_->addItem(QString::fromStdString(port));
    }
    ports_->setCurrentIndex(ports_->count() > 0 ? 0 : -1);
    OpenPort(ports_->currentText());
    // A port picked from the list, or a name typed and confirmed with Enter.
    connect(ports_, &QComboBox::textActivated, this, &TestScanWindow::OpenPort);
  }

  connect(list_, &QListWidget::currentRowChanged, this, &TestScanWindow::ShowDetails);
  if (auto* close = qobject_cast<QPushButton*>(controls_.Find(res::kTestScanCloseButton))) {
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
  }
  if (session_.Channel() == app::ScanChannel::kKeyboard) {
    // Every key, wherever the focus is in the window, is the scanner's.
    installEventFilter(this);
    for (QWidget* child : findChildren<QWidget*>()) child->installEventFilter(this);
  }
  connect(&poll_, &QTimer::timeout, this, &TestScanWindow::Poll);
  poll_.start(kPollMs);
}

TestScanWindow::~TestScanWindow() = default;

// The scans' list has the keys from the start, wherever the focus was
// before the window opened.
void TestScanWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  activateWindow();
  list_->setFocus(Qt::ActiveWindowFocusReason);
}

uint32_t TestScanWindow::Now() const {
  return clock_ ? clock_() : static_cast<uint32_t>(elapsed_.elapsed());
}

void TestScanWindow::SetText(int id, const std::string& text) {
  if (auto* label = qobject_cast<QLabel*>(controls_.Find(id))) {
    label->setText(QString::fromStdString(text));
  }
}

void TestScanWindow::OpenPort(const QString& name) {
  SetText(res::kTestScanPortStatus, session_.OpenPort(serialPorts_, name.toStdString()));
}

bool TestScanWindow::eventFilter(QObject* watched, QEvent* event) {
  // Shortcuts (and the dialog's Escape) must not see the scanner's keys.
  if (event->type() == QEvent::ShortcutOverride) {
    event->accept();
    return true;
  }
  if (event->type() == QEvent::KeyPress) {
    const auto* key = static_cast<QKeyEvent*>(event);
    if (!key->text().isEmpty()) {
      if (auto report = session_.Key(key->text().toStdString(), Now())) Show(*report);
    }
    return true;
  }
  if (event->type() == QEvent::KeyRelease) return true;
  return QDialog::eventFilter(watched, event);
}

void TestScanWindow::Poll() {
  bool gone = false;
  for (const app::ScanReport& report : session_.Poll(Now(), &gone)) Show(report);
  if (gone) SetText(res::kTestScanPortStatus, session_.PortStatus());
}

void TestScanWindow::EndScan() {
  Poll();
  if (auto report = session_.EndScan()) Show(*report);
}

void TestScanWindow::Show(const app::ScanReport& report) {
  reports_.push_back(report);
  auto* item = new QListWidgetItem(QString::fromStdString(report.Row()), list_);
  if (!report.verdict.matches) item->setForeground(QColor(0xB0, 0x00, 0x00));
  item->setToolTip(QString::fromStdString(report.hex));
  list_->setCurrentRow(list_->count() - 1);
  if (listener_) listener_(report);
}

void TestScanWindow::ShowDetails(int row) {
  details_->clear();
  if (row < 0 || row >= static_cast<int>(reports_.size())) return;
  for (const std::string& line : reports_[static_cast<size_t>(row)].Details()) {
    details_->addItem(QString::fromStdString(line));
  }
}

std::optional<std::string> QtChannelChooser::Choose(const app::OutputChannel* current) {
  QDialog dialog(parent_);
  const res::DialogTemplate& tmpl = *res::FindDialogTemplate(res::kChannelChooserTemplateId);
  const BuiltDialog controls = BuildDialog(tmpl, &dialog);
  dialog.setWindowTitle(Translated(tmpl.caption));
  dialog.setFixedSize(DialogClientSize(controls));
  const int checked = current ? current->box : app::kOutputChannels[0].box;
  if (auto* radio = qobject_cast<QAbstractButton*>(controls.Find(checked))) radio->setChecked(true);
  auto* ok = qobject_cast<QPushButton*>(controls.Find(res::kChannelChooserOkButton));
  auto* cancel = qobject_cast<QPushButton*>(controls.Find(res::kChannelChooserCancelButton));
  QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);
  QObject::connect(cancel, &QPushButton::clicked, &dialog, &QDialog::reject);
  ok->setDefault(true);
  FocusOnOpening(&dialog, controls);
  if (dialog.exec() != QDialog::Accepted) return std::nullopt;
  for (const app::OutputChannel& channel : app::kOutputChannels) {
    auto* radio = qobject_cast<QAbstractButton*>(controls.Find(channel.box));
    if (radio && radio->isChecked()) return std::string(channel.output);
  }
  return std::nullopt;
}

}  // namespace lumiq::ui::qt

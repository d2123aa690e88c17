// The runner's actions: parsed as written, carried out as a user would on
// any binding's controls (here the fake ones).

#include "ui/app/action_replay.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "link/device_commands.h"
#include "res/dialog_template.h"
#include "tests/support/demo_scanner_rig.h"
#include "tests/support/fake_page_controls.h"
#include "res/ids/output_method_ids.h"
#include "ui/app/settings_session.h"
#include "ui/app/test_scan.h"

namespace lumiq::ui::app {
namespace {

using Kind = UserAction::Kind;

TEST(UserActions, ParseTheDocumentedForms) {
  std::string error;
  auto text = ParseUserAction("text:137:1103=仓库 7=b", &error);
  ASSERT_TRUE(text) << error;
  EXPECT_EQ(text->kind, Kind::kText);
  EXPECT_EQ(text->templateId, 137);
  EXPECT_EQ(text->controlId, 1103);
  EXPECT_EQ(text->text, "仓库 7=b");
  EXPECT_EQ(ParseUserAction("check:130:1033", &error)->kind, Kind::kCheck);
  EXPECT_EQ(ParseUserAction("uncheck:130:1033", &error)->kind, Kind::kUncheck);
  EXPECT_EQ(ParseUserAction("tab:4", &error)->tab, 4);
  EXPECT_EQ(ParseUserAction("save", &error)->kind, Kind::kSave);
  EXPECT_EQ(ParseUserAction("exit", &error)->kind, Kind::kExit);

  for (const char* bad : {"tab:5", "tab:", "check:134:1041", "check:130:9999", "check:130",
                          "text:137:1103", "text:130:1033=x", "check:137:1103", "press",
                          "check:130:-1"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseUserAction(bad, &error));
    EXPECT_FALSE(error.empty());
  }
}

TEST(UserActions, ParseTheTestScanAndChannelForms) {
  std::string error;
  EXPECT_EQ(ParseUserAction("testscan", &error)->kind, Kind::kTestScan);
  const auto keys = ParseUserAction("keys:SN:1\\r\\x1D\\\\", &error);
  ASSERT_TRUE(keys) << error;
  EXPECT_EQ(keys->kind, Kind::kKeys);
  EXPECT_EQ(keys->text, "SN:1\r\x1d\\");
  const auto serial = ParseUserAction("serial:\\xFF\\n", &error);
  ASSERT_TRUE(serial) << error;
  EXPECT_EQ(serial->text, "\xff\n");
  EXPECT_EQ(ParseUserAction("channel:bluetooth0", &error)->text, "bluetooth0");
  for (const char* bad : {"keys:", "keys:\\q", "keys:\\xFF", "serial:\\x4", "channel:WIFI0",
                          "channel:", "testscan:1"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(ParseUserAction(bad, &error));
    EXPECT_FALSE(error.empty());
  }
  EXPECT_EQ(KeystrokesOf("A仓\r"), (std::vector<std::string>{"A", "仓", "\r"}));
}

TEST(UserActions, MessagesAreOneLineEach) {
  EXPECT_EQ(MessageLine("保存失败\nqrcode\ndeviceno"), "MESSAGE 保存失败\\nqrcode\\ndeviceno");
}

// A settings window of fake pages that records the buttons pressed.
class FakeDriver final : public ActionDriver {
 public:
  FakeDriver() { session.Open(Pages()); }

  void Press(Button button) override {
    pressed += button == Button::kSave ? "save;" : "exit;";
    if (button == Button::kSave) session.Save(Pages());
  }
  bool IsShown(Button button) const override {
    return button != Button::kApply || session.File() != nullptr;
  }
  void SelectTab(int tab) override { selectedTab = tab; }
  std::optional<TransferResult> Transfer(FileChoice choice, const std::string& file) override {
    GivenFileChooser chooser(file);
    if (choice == FileChoice::kExport) return session.Export(Pages(), chooser);
    return session.Import(Pages(), chooser, [this] {
      pages = std::make_unique<test::FakeSettingsWindow>();
      return Pages();
    });
  }
  std::optional<TransferResult> SwitchChannel(const std::string& output) override {
    GivenChannelChooser chooser(output);
    return session.SwitchChannel(Pages(), chooser, [this] {
      pages = std::make_unique<test::FakeSettingsWindow>();
      return Pages();
    });
  }
  void OpenTestScan() override {
    scan = std::make_unique<TestScanSession>(PagesOf(Pages()));
    scan->OpenPort(serial, FedSerialPorts::kPortName);
  }
  bool ScanKeys(const std::vector<std::string>& keys, std::string* note) override {
    if (!scan || scan->Channel() != ScanChannel::kKeyboard) {
      *note = kNotWatchingKeyboard;
      return false;
    }
    uint32_t time = 0;
    for (const std::string& key : keys) {
      Keep(scan->Key(key, time));
      time += RunnerKeyIntervalMs(scan->Timing());
    }
    Keep(scan->EndScan());
    return true;
  }
  bool ScanSerial(const std::string& bytes, std::string* note) override {
    if (!scan || !scan->PortOpen()) {
      *note = kNoSerialPortOpen;
      return false;
    }
    serial.Feed(bytes);
    for (const ScanReport& report : scan->Poll(0)) Keep(report);
    Keep(scan->EndScan());
    return true;
  }
  void Keep(const std::optional<ScanReport>& report) {
    if (report) scans.push_back(report->RunnerLine());
  }
  ControlKind KindOf(int templateId, int id) const override {
    const res::DialogTemplate* page = res::FindDialogTemplate(templateId);
    const res::ControlTemplate* control = page ? page->Find(id) : nullptr;
    if (!control) return ControlKind::kNone;
    if (control->kind == res::ControlKind::kRadioButton) return ControlKind::kRadioButton;
    if (control->kind == res::ControlKind::kCheckBox) return ControlKind::kCheckBox;
    return ControlKind::kOther;
  }
  bool IsShown(int templateId, int id) const override { return Page(templateId).IsShown(id); }
  bool IsEnabled(int templateId, int id) const override {
    return Page(templateId).IsEnabled(id);
  }
  bool IsChecked(int templateId, int id) const override {
    return Page(templateId).IsChecked(id);
  }
  void Click(int templateId, int id) override { Page(templateId).Click(id); }
  void Type(int templateId, int id, const std::string& text) override {
    Page(templateId).Type(id, text);
  }

  test::FakePageControls& Page(int templateId) const {
    return static_cast<test::FakePageControls&>(*Pages()[TabOfTemplate(templateId)]);
  }
  PagesByTab Pages() const {
    test::FakeSettingsWindow& p = *pages;
    return {&p.symbology, &p.outputMethod, &p.outputFormat, &p.control, &p.version};
  }

  std::unique_ptr<test::FakeSettingsWindow> pages = std::make_unique<test::FakeSettingsWindow>();
  SettingsSession session;
  std::string pressed;
  int selectedTab = -1;
  FedSerialPorts serial;
  std::unique_ptr<TestScanSession> scan;
  std::vector<std::string> scans;
};

class ReplayTest : public ::testing::Test {
 protected:
  ReplayTest() {
    EXPECT_EQ(OpenDevice(), 1);
    driver_ = std::make_unique<FakeDriver>();  // opened on the scanner
  }
  bool Apply(const std::string& word, std::string* note = nullptr) {
    std::string error;
    const auto action = ParseUserAction(word, &error);
    EXPECT_TRUE(action) << error;
    std::string ignored;
    return action && ReplayAction(*driver_, *action, note ? note : &ignored);
  }

  test::UiScanner rig_;
  std::unique_ptr<FakeDriver> driver_;
};

TEST_F(ReplayTest, ActionsActLikeTheUserAndSayWhyNothingChanged) {
  FakeDriver& window = *driver_;
  rig_.ClearTrace();
  // The demo scanner has QR on: unchecking then checking clicks twice.
  ASSERT_TRUE(window.Page(130).IsChecked(1033));
  EXPECT_TRUE(Apply("uncheck:130:1033"));
  EXPECT_FALSE(window.Page(130).IsChecked(1033));
  EXPECT_TRUE(Apply("check:130:1033"));
  EXPECT_TRUE(window.Page(130).IsChecked(1033));
  EXPECT_TRUE(Apply("check:130:1033"));  // already checked: no click
  EXPECT_TRUE(window.Page(130).IsChecked(1033));

  // Hidden or disabled controls take nothing, and the note says which.
  std::string note;
  const bool inverse = window.Page(130).IsChecked(1094);
  EXPECT_FALSE(Apply(inverse ? "uncheck:130:1094" : "check:130:1094", &note));
  EXPECT_EQ(note, window.Page(130).IsShown(1094) ? kControlDisabled : kControlHidden);
  EXPECT_EQ(window.Page(130).IsChecked(1094), inverse);
  EXPECT_FALSE(Apply("text:137:1001=V9", &note));
  EXPECT_EQ(note, kControlDisabled);

  // A radio button clicked clears its group; no click unchecks one.
  EXPECT_TRUE(Apply("check:131:1100"));
  EXPECT_TRUE(window.Page(131).IsChecked(1100));
  EXPECT_FALSE(window.Page(131).IsChecked(1101) || window.Page(131).IsChecked(1102));
  EXPECT_FALSE(Apply("uncheck:131:1100", &note));
  EXPECT_EQ(note, kRadioNeverUnchecked);
  EXPECT_TRUE(window.Page(131).IsChecked(1100));

  EXPECT_TRUE(Apply("tab:3"));
  EXPECT_EQ(window.selectedTab, 3);
  EXPECT_TRUE(rig_.Sets().empty());

  EXPECT_TRUE(Apply("text:137:1103=ZR-9"));
  EXPECT_TRUE(Apply("save"));
  EXPECT_TRUE(Apply("exit"));
  EXPECT_EQ(window.pressed, "save;exit;");
  EXPECT_EQ(rig_.scanner().Value("deviceno"), "ZR-9");
  EXPECT_EQ(rig_.scanner().Value("workmode"), "0");  // 1100 is the first work mode

  // A file the import refuses changes nothing.
  EXPECT_FALSE(Apply("import:no-such-file.profile", &note));
  EXPECT_EQ(note, kTransferFailed);
}


TEST_F(ReplayTest, AChannelSwitchedThenScansOnItsChannelReported) {
  std::string note;
  EXPECT_TRUE(Apply("testscan"));  // the demo's Wi-Fi: nothing to watch
  EXPECT_FALSE(Apply("keys:SN:1\\r", &note));
  EXPECT_EQ(note, kNotWatchingKeyboard);

  EXPECT_TRUE(Apply("channel:hid0"));
  EXPECT_TRUE(driver_->Page(133).IsChecked(res::output_method::kHidOutput));
  EXPECT_TRUE(Apply("testscan"));
  EXPECT_TRUE(Apply("keys:SN:1;\\r"));
  EXPECT_TRUE(Apply("keys:SN:2;\\r\\n"));
  EXPECT_FALSE(Apply("serial:SN:3;\\r", &note));
  EXPECT_EQ(note, kNoSerialPortOpen);

  EXPECT_TRUE(Apply("channel:com1"));
  EXPECT_TRUE(Apply("testscan"));
  EXPECT_TRUE(Apply("serial:SN:4\\r"));
  EXPECT_EQ(driver_->scans,
            (std::vector<std::string>{"SCAN SN:1;<CR> MATCH",
                                      "SCAN SN:2;<CR><LF> DIFFERS 结尾应为 <CR>，实际为 <CR><LF>",
                                      "SCAN SN:4<CR> DIFFERS 后缀应为 ;，实际为 4"}));
  EXPECT_TRUE(rig_.Sets().empty());
}

}  // namespace
}  // namespace lumiq::ui::app

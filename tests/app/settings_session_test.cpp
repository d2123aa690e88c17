// The settings window's behaviour as both bindings run it: opening, Save,
// and configuration files imported and exported, on fake page controls
// against the simulated scanner.

#include "ui/app/settings_session.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "link/device_commands.h"
#include "tests/support/demo_scanner_rig.h"
#include "tests/support/fake_page_controls.h"

namespace lumiq::ui::app {
namespace {

using Lines = std::vector<std::string>;

// The five pages, built again from their templates on an import.
class FakeWindow {
 public:
  FakeWindow() : pages_(std::make_unique<test::FakeSettingsWindow>()) {}
  PagesByTab Pages() {
    test::FakeSettingsWindow& p = *pages_;
    return {&p.symbology, &p.outputMethod, &p.outputFormat, &p.control, &p.version};
  }
  PagesByTab Rebuild() {
    pages_ = std::make_unique<test::FakeSettingsWindow>();
    ++rebuilds;
    return Pages();
  }
  test::FakePageControls& Page(int templateId) {
    return static_cast<test::FakePageControls&>(*Pages()[TabOfTemplate(templateId)]);
  }
  int rebuilds = 0;

 private:
  std::unique_ptr<test::FakeSettingsWindow> pages_;
};

// A folder of its own for the files of one test.
class Folder {
 public:
  Folder() {
    path_ = std::filesystem::temp_directory_path() /
            ("lumiq-app-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~Folder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  std::string At(const std::string& name) const { return (path_ / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(At(name), std::ios::binary) << text;
    return At(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(At(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  std::filesystem::path path_;
};

class SessionTest : public ::testing::Test {
 protected:
  SessionTest() {
    EXPECT_EQ(OpenDevice(), 1);
    session_.Open(window_.Pages());
    rig_.ClearTrace();
  }
  std::optional<TransferResult> Import(const std::string& path) {
    GivenFileChooser chooser(path);
    return session_.Import(window_.Pages(), chooser, [this] { return window_.Rebuild(); });
  }
  std::optional<TransferResult> Export(const std::string& path) {
    GivenFileChooser chooser(path);
    return session_.Export(window_.Pages(), chooser);
  }
  Lines SetsOf(const std::string& prefix) const {
    Lines found;
    for (const std::string& set : rig_.Sets()) {
      if (set.rfind("SET " + prefix, 0) == 0) found.push_back(set);
    }
    return found;
  }

  test::UiScanner rig_;
  FakeWindow window_;
  SettingsSession session_;
  Folder folder_;
};

TEST_F(SessionTest, OpeningReadsEveryPageAndSaysWhichReadsFailed) {
  EXPECT_FALSE(session_.OpeningMessage());
  EXPECT_EQ(window_.Page(137).Text(1001), "V2.0.7");

  rig_.scanner().Faults().refusedKeys = {"qrcode", "deviceno"};
  FakeWindow other;
  SettingsSession opened;
  opened.Open(other.Pages());
  EXPECT_EQ(opened.LoadFailedKeys(), (Lines{"qrcode", "deviceno"}));
  EXPECT_EQ(opened.OpeningMessage(),
            std::string("读取设备设置失败，请检查设备是否插入或重试!\nqrcode, deviceno"));
}

TEST_F(SessionTest, SaveSendsThePagesAndSaysHowItWent) {
  window_.Page(130).Click(1033);
  const SettingsSession::Saved saved = session_.Save(window_.Pages());
  EXPECT_TRUE(saved.outcome.Succeeded());
  EXPECT_EQ(saved.message, "保存成功!");
  EXPECT_EQ(rig_.scanner().Value("qrcode"), "0");
  EXPECT_EQ(rig_.Trace().back(), "COMMIT");

  rig_.scanner().Faults().refusedKeys = {"qrcode"};
  EXPECT_EQ(session_.Save(window_.Pages()).message,
            std::string("保存失败，请检查设备是否插入或重试!\nqrcode"));
}

TEST_F(SessionTest, ACancelledFileDialogDoesNothing) {
  struct Cancelled final : FileChooser {
    std::optional<ChosenFile> Choose(FileChoice) override { return std::nullopt; }
  } cancelled;
  EXPECT_FALSE(session_.Import(window_.Pages(), cancelled, [this] { return window_.Rebuild(); }));
  EXPECT_FALSE(session_.Export(window_.Pages(), cancelled));
  EXPECT_EQ(window_.rebuilds, 0);
  EXPECT_TRUE(rig_.Trace().empty());
}

// The demo scanner is on Wi-Fi and holds com1 at 115200/8/1/NONE.
TEST_F(SessionTest, AChannelSwitchedOnByAnImportIsReadFromTheScannerBeforeTheRebuild) {
  const std::string file = folder_.Write("switch.profile", "io_outputs=com1\n");
  const auto imported = Import(file);
  ASSERT_TRUE(imported && imported->ok);
  EXPECT_EQ(rig_.Trace(), (Lines{"GET com1_baudrate", "GET com1_stopbits", "GET com1_bytesizes",
                                 "GET com1_paritys"}));
  EXPECT_EQ(imported->message,
            "配置已从文件导入:\n" + file + "\n设置尚未写入设备，按“保存”后写入。");
  EXPECT_EQ(window_.Page(133).Text(1067), "115200");

  rig_.ClearTrace();
  EXPECT_EQ(session_.Save(window_.Pages()).message, "保存成功!");
  EXPECT_EQ(SetsOf("com1_"), (Lines{"SET com1_baudrate=115200", "SET com1_bytesizes=8",
                                    "SET com1_stopbits=1", "SET com1_paritys=NONE"}));
}

TEST_F(SessionTest, AnImportGivingTheScannerAnotherDeviceNumberSaysSo) {
  const std::string other = folder_.Write("other.profile", "deviceno=仓库-7\nqrcode=0\n");
  const auto imported = Import(other);
  ASSERT_TRUE(imported && imported->ok);
  EXPECT_EQ(imported->message, "配置已从文件导入:\n" + other +
                                   "\n设置尚未写入设备，按“保存”后写入。"
                                   "\n保存后设备号由 ZR2404170032 改为文件中的 仓库-7。");
  session_.Save(window_.Pages());
  EXPECT_EQ(rig_.scanner().Value("deviceno"), "\xB2\xD6\xBF\xE2-7");
  // Now the scanner's own number: the same file changes nothing, and says nothing.
  const auto again = Import(other);
  ASSERT_TRUE(again && again->ok);
  EXPECT_EQ(again->message.find("设备号"), std::string::npos) << again->message;
}

TEST_F(SessionTest, AnImportNamesWhatItCannotShowWhatItDropsAndTheEditsItDiscards) {
  window_.Page(137).Type(1103, "typed");
  window_.Page(137).MakeUnencodable(1103);
  const std::string file = folder_.Write(
      "odd.profile", "qrcode=2\nworkmode=9\ncom1_baudrate=9600\nbluetooth0_name=BT\n");
  const auto imported = Import(file);
  ASSERT_TRUE(imported && imported->ok);
  EXPECT_EQ(imported->message,
            "配置已从文件导入:\n" + file +
                "\n设置尚未写入设备，按“保存”后写入。"
                "\n以下修改无法写入设备，导入时已放弃:\ndeviceno"
                "\n以下设置窗口无法按文件显示，保存时写入箭头后的值:"
                "\n'qrcode=2' → 'qrcode=0'\n'workmode=9' → 不写入，设备保持原值"
                "\n以下设置不在窗口中，保存时不会写入:\ncom1_baudrate, bluetooth0_name");
  EXPECT_TRUE(rig_.Trace().empty());

  ASSERT_TRUE(Export(folder_.At("out.profile")));
  const std::string exported = folder_.Read("out.profile");
  EXPECT_NE(exported.find("\nqrcode=0\n"), std::string::npos);
  EXPECT_NE(exported.find("\nworkmode=2\n"), std::string::npos);  // what the scanner holds
  EXPECT_EQ(exported.find("9600"), std::string::npos);
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(SessionTest, ARefusedOrUnreadableFileChangesNothingAndSaysWhy) {
  window_.Page(137).Type(1103, "typed");
  const std::string path = folder_.At("bad.profile");
  const std::vector<std::pair<std::string, std::string>> refused = {
      {"qrcode=0\n# note\ndmcode=\\x4\n", " 第 3 行"},  // bad escape
      {"qrcode=0\n\nqrcode=1\n", " 第 3 行: qrcode is already set on line 1"},
      {"deviceno=" + std::string(250, 'x') + "\n", " 第 1 行: deviceno: too long for one set"},
      {"# nothing\n", ": no setting in the file"},
  };
  for (const auto& [text, named] : refused) {
    SCOPED_TRACE(text.substr(0, 40));
    folder_.Write("bad.profile", text);
    const auto result = Import(path);
    ASSERT_TRUE(result);
    EXPECT_FALSE(result->ok);
    EXPECT_EQ(result->message.rfind("导入失败，配置文件有误，窗口未改变:\n" + path + named, 0), 0u)
        << result->message;
  }
  const auto missing = Import(folder_.At("missing.profile"));
  ASSERT_TRUE(missing);
  EXPECT_EQ(missing->message.rfind("导入失败，文件无法读取，窗口未改变:\n", 0), 0u);

  EXPECT_EQ(window_.rebuilds, 0);
  EXPECT_EQ(window_.Page(137).Text(1103), "typed");
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(SessionTest, AnExportThatCannotBeWrittenOrSavedWritesNothing) {
  const auto unwritable = Export(folder_.At("no/such/folder/x.profile"));
  ASSERT_TRUE(unwritable);
  EXPECT_EQ(unwritable->message.rfind("导出失败，文件无法写入:\n", 0), 0u);

  // Text the scanner's character set cannot hold fails Save, so no file
  // claims it.
  window_.Page(137).Type(1103, "No.");
  window_.Page(137).MakeUnencodable(1103);
  const auto unstorable = Export(folder_.At("x.profile"));
  ASSERT_TRUE(unstorable);
  EXPECT_EQ(unstorable->message, "导出失败，以下设置无法保存，文件未写入:\ndeviceno");
  EXPECT_FALSE(std::filesystem::exists(folder_.At("x.profile")));
  EXPECT_TRUE(rig_.Trace().empty());
}

// The demo scanner's Wi-Fi password: an export holding it is its owner's
// alone and says so; the filter for sharing leaves it out, and importing
// that file leaves the window on the scanner's own password.
TEST_F(SessionTest, AnExportWithTheWiFiPasswordIsPrivateOrLeavesItOut) {
  const std::string whole = folder_.At("whole.profile");
  const auto kept = Export(whole);
  ASSERT_TRUE(kept && kept->ok);
  EXPECT_EQ(kept->message,
            "配置已导出到文件:\n" + whole + "\n文件中含有 Wi-Fi 密码，请妥善保管，勿随意分享。");
  EXPECT_NE(folder_.Read("whole.profile").find("\nwifi0_stawskeykey=scan#2024=ok\n"),
            std::string::npos);
#ifndef _WIN32
  using std::filesystem::perms;
  EXPECT_EQ(std::filesystem::status(whole).permissions() & (perms::group_all | perms::others_all),
            perms::none);
#endif

  const std::string shared = folder_.At("shared.profile");
  GivenFileChooser sharing(shared, kWithoutSecretsFilter);
  const auto left = session_.Export(window_.Pages(), sharing);
  ASSERT_TRUE(left && left->ok);
  EXPECT_EQ(left->message, "配置已导出到文件:\n" + shared);
  const std::string text = folder_.Read("shared.profile");
  EXPECT_EQ(text.find("scan#2024"), std::string::npos);
  EXPECT_NE(text.find("\n# wifi0_stawskeykey: left out"), std::string::npos);

  const auto imported = Import(shared);
  ASSERT_TRUE(imported && imported->ok) << imported->message;
  EXPECT_EQ(window_.Page(133).Text(1154), "scan#2024=ok");
  EXPECT_TRUE(rig_.Trace().empty());
}

}  // namespace
}  // namespace lumiq::ui::app

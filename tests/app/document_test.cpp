// A settings window on a profile file, as both bindings run it: opened
// without a scanner, saved into the file, closed with a question, applied
// to a scanner; on fake page controls, the simulated scanner watching that
// nothing reaches it until the file is applied.

#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "link/device_commands.h"
#include "res/ids/output_method_ids.h"
#include "sim/demo_configuration.h"
#include "tests/support/demo_scanner_rig.h"
#include "tests/support/fake_page_controls.h"
#include "ui/app/connect_flow.h"
#include "ui/app/program_arguments.h"
#include "ui/app/settings_session.h"

namespace lumiq::ui::app {
namespace {

using Lines = std::vector<std::string>;
using Answer = SettingsSession::CloseAnswer;

class Pages {
 public:
  Pages() : pages_(std::make_unique<test::FakeSettingsWindow>()) {}
  PagesByTab ByTab() {
    test::FakeSettingsWindow& p = *pages_;
    return {&p.symbology, &p.outputMethod, &p.outputFormat, &p.control, &p.version};
  }
  PagesByTab Rebuild() {
    pages_ = std::make_unique<test::FakeSettingsWindow>();
    return ByTab();
  }
  test::FakePageControls& Page(int templateId) {
    return static_cast<test::FakePageControls&>(*ByTab()[TabOfTemplate(templateId)]);
  }
  // What every control shows, as Save would send it.
  SettingMap Sent() {
    SettingMap sent;
    StorePagesInto(PagesOf(ByTab()), &sent);
    return sent;
  }

 private:
  std::unique_ptr<test::FakeSettingsWindow> pages_;
};

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest() {
    folder_ = std::filesystem::temp_directory_path() /
              ("lumiq-doc-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder_);
    std::filesystem::create_directories(folder_);
  }
  ~DocumentTest() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  std::string At(const std::string& name) const { return (folder_ / name).string(); }
  std::string Write(const std::string& name, const std::string& text) const {
    std::ofstream(At(name), std::ios::binary) << text;
    return At(name);
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(At(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  // A session on `path`, opened on `pages_`; nullptr with the refusal.
  std::unique_ptr<SettingsSession> OpenFile(const std::string& path, std::string* refusal = nullptr) {
    std::string message;
    std::unique_ptr<FileSource> source = FileSource::Read(ChosenFile{path, path, 0}, &message);
    if (refusal) *refusal = message;
    if (!source) return nullptr;
    auto session = std::make_unique<SettingsSession>(std::move(source));
    session->Open(pages_.ByTab());
    return session;
  }

  test::UiScanner rig_;
  Pages pages_;
  std::filesystem::path folder_;
};

// The scanner's full configuration as a profile, so that nothing is missing.
std::string DemoProfile() {
  return std::string("# the demo scanner\n") + sim::DemoSeedText();
}

TEST_F(DocumentTest, AFileShowsExactlyWhatAScannerHoldingItShowsAndNoScannerIsAsked) {
  ASSERT_EQ(OpenDevice(), 1);
  Pages fromScanner;
  SettingsSession scanner;
  scanner.Open(fromScanner.ByTab());
  rig_.ClearTrace();

  const auto session = OpenFile(Write("demo.profile", DemoProfile()));
  ASSERT_TRUE(session);
  EXPECT_EQ(pages_.Sent(), fromScanner.Sent());
  EXPECT_EQ(pages_.Page(137).Text(1001), fromScanner.Page(137).Text(1001));  // firmware
  // As an import of the same file says: the keys Save derives from the
  // pages, and the parameters of channels that are off.
  EXPECT_EQ(session->OpeningMessage(),
            "以下设置不在窗口中，保存时不会写入:\n"
            "io_inits, io_monitors, nfccontentorder, nfcserial, com0_devname,\n"
            "com1_baudrate, com1_stopbits, com1_bytesizes, com1_paritys,\nbluetooth0_name");
  EXPECT_TRUE(rig_.Trace().empty());
  ASSERT_TRUE(session->File());
  EXPECT_EQ(session->File()->path, At("demo.profile"));
}

TEST_F(DocumentTest, OddValuesAndMissingKeysAreNamedAsAnImportAndAFailedReadNameThem) {
  const auto session =
      OpenFile(Write("odd.profile", "qrcode=2\nworkmode=9\ncom1_baudrate=9600\nfoo=1\n"));
  ASSERT_TRUE(session);
  const std::string message = session->OpeningMessage().value_or("");
  EXPECT_EQ(message.rfind("文件中没有以下设置，窗口显示其初始状态:\ndmcode, onecode,", 0), 0u)
      << message;
  const std::string unshown =
      "\n以下设置窗口无法按文件显示，保存时写入箭头后的值:"
      "\n'qrcode=2' → 'qrcode=0'\n'workmode=9' → 不写入，设备保持原值"
      "\n以下设置不在窗口中，保存时不会写入:\nfoo, com1_baudrate";
  EXPECT_EQ(message.substr(message.size() - unshown.size()), unshown) << message;
  EXPECT_NE(message.find("masterver"), std::string::npos);
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(DocumentTest, SaveWritesTheFileKeepingItsCommentsAndSendsNothing) {
  ASSERT_EQ(OpenDevice(), 1);  // a scanner at hand must still get nothing
  rig_.ClearTrace();
  const std::string path =
      Write("site.profile", "# counter 3, do not change the prefix\n" + std::string(sim::DemoSeedText()));
  const auto session = OpenFile(path);
  ASSERT_TRUE(session);
  EXPECT_FALSE(session->Modified(pages_.ByTab()));
  pages_.Page(137).Type(1103, "\xB2\xD6\xBF\xE2-9");  // GBK, as a binding encodes it
  EXPECT_TRUE(session->Modified(pages_.ByTab()));

  const auto saved = session->Save(pages_.ByTab());
  EXPECT_TRUE(saved.outcome.Succeeded());
  // The demo holds a Wi-Fi password: the file stays its owner's, as an
  // export does.
  EXPECT_EQ(saved.message, "配置已保存到文件，未写入任何设备:\n" + path +
                               "\n文件中含有 Wi-Fi 密码，请妥善保管，勿随意分享。");
  const std::string text = Read("site.profile");
  EXPECT_EQ(text.rfind("# counter 3, do not change the prefix\n", 0), 0u);
  EXPECT_NE(text.find("\ndeviceno=仓库-9\n"), std::string::npos) << text;
  EXPECT_FALSE(session->Modified(pages_.ByTab()));
  EXPECT_TRUE(rig_.Trace().empty());

  // Reopened, the file shows the edit.
  Pages again;
  std::string refusal;
  auto source = FileSource::Read(ChosenFile{path, path, 0}, &refusal);
  ASSERT_TRUE(source) << refusal;
  SettingsSession reopened(std::move(source));
  reopened.Open(again.ByTab());
  EXPECT_EQ(again.Sent(), pages_.Sent());
}

TEST_F(DocumentTest, AFileSpoiltSinceOpeningIsWrittenWholeAndTheMessageSaysTheCommentsWent) {
  const std::string path = Write("site.profile", "# mine\n" + std::string(sim::DemoSeedText()));
  const auto session = OpenFile(path);
  ASSERT_TRUE(session);
  Write("site.profile", "not a profile\n");
  const auto saved = session->Save(pages_.ByTab());
  EXPECT_TRUE(saved.outcome.Succeeded());
  EXPECT_NE(saved.message.find("其中的注释未能保留"), std::string::npos) << saved.message;
  const std::string text = Read("site.profile");
  EXPECT_EQ(text.find("# mine"), std::string::npos);
  EXPECT_NE(text.find("\nqrcode="), std::string::npos);

  // A text the file cannot hold writes nothing.
  pages_.Page(137).Type(1103, "x");
  pages_.Page(137).MakeUnencodable(1103);
  const auto refused = session->Save(pages_.ByTab());
  EXPECT_FALSE(refused.outcome.Succeeded());
  EXPECT_EQ(refused.message, "保存失败，以下设置无法保存，文件未写入:\ndeviceno");
  EXPECT_EQ(Read("site.profile"), text);
}

TEST_F(DocumentTest, ClosingAFileWithEditsAsksAndTheAnswerDecides) {
  const std::string path = Write("site.profile", DemoProfile());
  const auto session = OpenFile(path);
  ASSERT_TRUE(session);
  EXPECT_FALSE(session->CloseQuestion(pages_.ByTab()));
  pages_.Page(130).Click(1033);
  EXPECT_EQ(session->CloseQuestion(pages_.ByTab()), "配置文件已修改，是否保存?\n" + path);

  std::string message;
  EXPECT_FALSE(session->AnswerClose(pages_.ByTab(), Answer::kCancel, &message));
  EXPECT_TRUE(session->AnswerClose(pages_.ByTab(), Answer::kDiscard, &message));
  EXPECT_EQ(Read("site.profile"), DemoProfile());
  EXPECT_TRUE(session->AnswerClose(pages_.ByTab(), Answer::kSave, &message));
  EXPECT_NE(Read("site.profile"), DemoProfile());
  EXPECT_FALSE(session->CloseQuestion(pages_.ByTab()));

  // A scanner's window never asks: nothing of it is the operator's own.
  ASSERT_EQ(OpenDevice(), 1);
  Pages scannerPages;
  SettingsSession scanner;
  scanner.Open(scannerPages.ByTab());
  scannerPages.Page(130).Click(1033);
  EXPECT_FALSE(scanner.CloseQuestion(scannerPages.ByTab()));
}

TEST_F(DocumentTest, AnImportIntoAFileReadsNoScannerAndNamesWhatTheFileLacks) {
  ASSERT_EQ(OpenDevice(), 1);
  rig_.ClearTrace();
  const auto session = OpenFile(Write("site.profile", DemoProfile()));
  ASSERT_TRUE(session);
  GivenFileChooser chooser(Write("switch.profile", "io_outputs=com1\n"));
  const auto imported =
      session->Import(pages_.ByTab(), chooser, [this] { return pages_.Rebuild(); });
  ASSERT_TRUE(imported && imported->ok);
  EXPECT_NE(imported->message.find("文件中没有以下设置，窗口显示其初始状态:\ncom1_baudrate"),
            std::string::npos)
      << imported->message;
  EXPECT_TRUE(rig_.Trace().empty());
}

// "更改输出方式..." on a file: the new channel's parameters start as their
// controls do and are named as the file's missing keys, not as a failed
// read of a scanner the window does not show.
TEST_F(DocumentTest, AChannelSwitchInAFileReadsNoScannerAndNamesWhatTheFileLacks) {
  ASSERT_EQ(OpenDevice(), 1);
  rig_.ClearTrace();
  std::string withoutSerial;
  std::istringstream lines(DemoProfile());
  for (std::string line; std::getline(lines, line);) {
    if (line.rfind("com1_", 0) != 0) withoutSerial += line + "\n";
  }
  Pages switched;
  const auto other = OpenFile(Write("other.profile", withoutSerial));
  ASSERT_TRUE(other);
  GivenChannelChooser channel("com1");
  const auto result = other->SwitchChannel(pages_.ByTab(), channel, [&switched] {
    return switched.Rebuild();
  });
  ASSERT_TRUE(result && result->ok);
  EXPECT_TRUE(switched.Page(133).IsChecked(res::output_method::kComOutput));
  EXPECT_NE(result->message.find("文件中没有以下设置，窗口显示其初始状态:\ncom1_baudrate"),
            std::string::npos)
      << result->message;
  EXPECT_EQ(result->message.find("读取设备设置失败"), std::string::npos) << result->message;
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST_F(DocumentTest, AppliedToAScannerThePagesKeepTheFileAndSaveSendsItWithItsDeviceNumber) {
  std::string profile = DemoProfile();
  profile.replace(profile.find("deviceno=ZR2404170032"), 21, "deviceno=仓库-7");
  const auto session = OpenFile(Write("site.profile", profile));
  ASSERT_TRUE(session);
  const SettingMap before = pages_.Sent();

  ASSERT_EQ(OpenDevice(), 1);
  rig_.ClearTrace();
  const std::string message = session->AttachScanner(pages_.ByTab());
  EXPECT_EQ(message,
            "窗口仍显示文件中的设置，尚未写入设备，按“保存”后写入。"
            "\n保存后设备号由 ZR2404170032 改为文件中的 仓库-7。");
  EXPECT_TRUE(rig_.Sets().empty());
  EXPECT_EQ(pages_.Sent(), before);
  EXPECT_FALSE(session->File());

  EXPECT_EQ(session->Save(pages_.ByTab()).message, "保存成功!");
  EXPECT_EQ(rig_.scanner().Value("deviceno"), "\xB2\xD6\xBF\xE2-7");
  for (const auto& [key, value] : before) EXPECT_EQ(rig_.scanner().Value(key), value) << key;
}

TEST_F(DocumentTest, TheTitleNamesTheFileAndTheTabsMarkWhatChangedUntilItIsSaved) {
  const std::string path = Write("site.profile", DemoProfile());
  const auto session = OpenFile(path);
  ASSERT_TRUE(session);
  const std::string title = "Lumiq配置工具U口(ZR系列)v2.0.7 - 文件 site.profile";
  EXPECT_EQ(session->Title(pages_.ByTab()), title);
  pages_.Page(132).Click(1061);  // output format, tab 2
  EXPECT_EQ(session->Title(pages_.ByTab()), title + " *");
  EXPECT_EQ(session->TabsChanged(pages_.ByTab()),
            (std::array<bool, kPageCount>{false, false, true, false, false}));
  EXPECT_EQ(TabCaption(2, true), "输出格式 *");
  pages_.Page(132).Click(1061);
  EXPECT_EQ(session->Title(pages_.ByTab()), title);
  pages_.Page(132).Click(1061);
  EXPECT_TRUE(session->Save(pages_.ByTab()).outcome.Succeeded());
  EXPECT_EQ(session->Title(pages_.ByTab()), title);

  // A scanner by port and device number; the demo's say they are simulated.
  SetConnectedPort("1-2");
  const std::string number = "\xB2\xD6-7";
  EXPECT_EQ(ScannerSubject(&number), "端口 1-2 设备号 仓-7");
  SetScannersSimulated(true);
  EXPECT_EQ(ScannerSubject(nullptr), "模拟设备 端口 1-2 设备号 (未读出)");
  SetScannersSimulated(false);
  SetConnectedPort("");
}

class OpeningWindow final : public ConnectWindow {
 public:
  void DropSettings() override { steps.push_back("drop"); }
  void ShowMessage(const std::string& utf8) override { steps.push_back(utf8); }
  void OpenSettings() override { steps.push_back("open"); }
  void OpenSettingsOn(std::unique_ptr<DocumentSource> source) override {
    steps.push_back("open " + source->File()->path);
  }
  Lines steps;
};

TEST_F(DocumentTest, TheConnectDialogOpensAFileAnImportWouldTakeAndRefusesOthersAsItDoes) {
  OpeningWindow window;
  const std::string good = Write("good.profile", "qrcode=1\n");
  EXPECT_EQ(OpenProfile(window, ChosenFile{good, good, 0}), ConnectOutcome::kConnected);
  EXPECT_EQ(window.steps, (Lines{"drop", "open " + good}));

  window.steps.clear();
  const std::string bad = Write("bad.profile", "qrcode=1\nqrcode=0\n");
  EXPECT_EQ(OpenProfile(window, ChosenFile{bad, bad, 0}), ConnectOutcome::kNoDevice);
  EXPECT_EQ(window.steps, (Lines{"导入失败，配置文件有误，窗口未改变:\n" + bad +
                                 " 第 2 行: qrcode is already set on line 1"}));
  EXPECT_TRUE(rig_.Trace().empty());
}

TEST(ProgramArguments, AProfileAndTheDemosScanners) {
  ProgramArguments parsed;
  std::string error;
  ASSERT_TRUE(ParseProgramArguments({"site.profile"}, false, &parsed, &error));
  EXPECT_EQ(parsed.file, "site.profile");
  EXPECT_TRUE(parsed.seeds.empty());

  for (const Lines& refused : {Lines{"a", "b"}, Lines{"--scanners", "2"}, Lines{"-x"}}) {
    ProgramArguments ignored;
    EXPECT_FALSE(ParseProgramArguments(refused, false, &ignored, &error)) << refused[0];
  }

  ProgramArguments demo;
  ASSERT_TRUE(ParseProgramArguments({"--scanners", "3"}, true, &demo, &error)) << error;
  EXPECT_EQ(demo.seeds, (Lines{"", "", ""}));
  ProgramArguments seeded;
  ASSERT_TRUE(ParseProgramArguments({"--seed", "a.seed", "--seed", "b.seed", "--", "-odd.profile"},
                                    true, &seeded, &error));
  EXPECT_EQ(seeded.seeds, (Lines{"a.seed", "b.seed"}));
  EXPECT_EQ(seeded.file, "-odd.profile");
  ProgramArguments plain;
  ASSERT_TRUE(ParseProgramArguments({}, true, &plain, &error));
  EXPECT_EQ(plain.seeds, (Lines{""}));
  for (const Lines& refused : {Lines{"--scanners", "0"}, Lines{"--scanners", "17"},
                               Lines{"--scanners", "2", "--seed", "a"}, Lines{"--seed"}}) {
    ProgramArguments ignored;
    EXPECT_FALSE(ParseProgramArguments(refused, true, &ignored, &error)) << refused.back();
  }
}

}  // namespace
}  // namespace lumiq::ui::app

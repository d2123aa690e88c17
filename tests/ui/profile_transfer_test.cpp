// Configuration files from the settings window: exported as a dump would
// write them, imported as a restore would read them, and nothing sent.

#include <gtest/gtest.h>

#include <QFile>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/ui/ui_test_support.h"
#include "ui/app/profile_transfer.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/user_actions.h"

namespace lumiq::ui::qt {
namespace {

struct ProgramRun {
  int status = -1;
  QString out;
};

ProgramRun Program(const char* program, const QStringList& arguments) {
  QProcess process;
  process.start(QString::fromUtf8(program), arguments);
  ProgramRun run;
  if (!process.waitForFinished(30000)) return run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  return run;
}

QByteArray Contents(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void Write(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
  file.write(text);
}

// Done when: window -> file -> zrctl restore -> zrctl dump -> a fresh
// window on another scanner -> file again, the same bytes.
TEST(ProfileFiles, RoundTripThroughTheWindowAndZrctl) {
  QTemporaryDir dir;
  auto at = [&dir](const char* name) { return dir.filePath(name); };

  // The first scanner holds a prefix that is not text; the operator changes
  // two controls and exports without saving.
  ASSERT_EQ(Program(LUMIQ_ZRCTL_PATH, {"--simulate", "dump", at("first.seed")}).status, 0);
  QByteArray first = Contents(at("first.seed"));
  first.replace("codeprefix=SN:", "codeprefix=\\x02S\\\\N\\xFF=");
  Write(at("first.seed"), first);
  const ProgramRun exported = Program(LUMIQ_HEADLESS_PATH,
                               {"--seed", at("first.seed"), "--trace", at("first.trace"),
                                "uncheck:130:1033", "text:137:1103=仓库 7", "export:" + at("e1")});
  ASSERT_EQ(exported.status, 0);
  // The demo scanner's Wi-Fi password is in the file: its owner's alone.
  EXPECT_TRUE(exported.out.endsWith(QString::fromUtf8("MESSAGE 配置已导出到文件:\\n") + at("e1") +
                                    QString::fromUtf8("\\n文件中含有 Wi-Fi 密码，请妥善保管，勿随意分享。\n")))
      << exported.out.toStdString();
  EXPECT_TRUE(QFile::permissions(at("e1")) & QFile::ReadOwner);
  EXPECT_FALSE(QFile::permissions(at("e1")) & (QFile::ReadGroup | QFile::ReadOther));
  const QByteArray e1 = Contents(at("e1"));
  EXPECT_TRUE(e1.startsWith("# zrctl profile: firmware V2.0.7, device number 仓库 7\n"));
  EXPECT_TRUE(e1.contains("\nqrcode=0\n"));
  EXPECT_TRUE(e1.contains("\ncodeprefix=\\x02S\\\\N\\xFF=\n"));
  EXPECT_FALSE(Contents(at("first.trace")).contains("SET "));
  EXPECT_FALSE(Contents(at("first.trace")).contains("COMMIT"));

  Write(at("blank.seed"), "masterver=V2.0.7\n");
  ASSERT_EQ(Program(LUMIQ_ZRCTL_PATH, {"--simulate=" + at("blank.seed"), "restore", at("e1")}).status, 0);
  ASSERT_EQ(Program(LUMIQ_ZRCTL_PATH, {"--simulate=" + at("blank.seed"), "dump", at("dump")}).status, 0);

  // The fresh window's scanner differs in channel, symbology and number.
  Write(at("other.seed"),
        "masterver=V2.0.7\nio_outputs=com1\ncom1_baudrate=9600\nqrcode=1\ndeviceno=OTHER\n");
  const ProgramRun imported = Program(LUMIQ_HEADLESS_PATH,
                               {"--seed", at("other.seed"), "--trace", at("other.trace"),
                                "import:" + at("dump"), "export:" + at("e2")});
  ASSERT_EQ(imported.status, 0);
  EXPECT_TRUE(imported.out.contains(QString::fromUtf8("MESSAGE 配置已从文件导入:\\n") + at("dump") +
                                    QString::fromUtf8("\\n设置尚未写入设备，按“保存”后写入。"
                                                      "\\n保存后设备号由 OTHER 改为文件中的 仓库 7。"
                                                      "\\n以下设置不在窗口中，保存时不会写入:"
                                                      "\\ncom1_baudrate, com1_stopbits, com1_bytesizes, "
                                                      "com1_paritys,\\nbluetooth0_name\n")));
  EXPECT_EQ(Contents(at("e2")), e1);
  EXPECT_FALSE(Contents(at("other.trace")).contains("SET "));
}

// The demo scanner is on Wi-Fi and holds com1 at 115200/8/1/NONE. The
// same files are imported by both runners in the Windows stage.
TEST(ProfileFiles, AnImportLoadsWhatTheFileLacksAndNamesWhatItCannotShow) {
  QTemporaryDir dir;
  auto at = [&dir](const char* name) { return dir.filePath(name); };
  auto sets = [](const QByteArray& trace) {
    QStringList found;
    for (const QByteArray& line : trace.split('\n')) {
      if (line.startsWith("SET ")) found << QString::fromUtf8(line.mid(4));
    }
    return found;
  };

  // A channel switched on: its parameters are read before Save sends them.
  Write(at("switch.profile"), "io_outputs=com1\n");
  const ProgramRun switched = Program(
      LUMIQ_HEADLESS_PATH, {"--trace", at("switch.trace"), "import:" + at("switch.profile"),
                            "save", "export:" + at("switch.out")});
  ASSERT_EQ(switched.status, 0);
  const QByteArray switchTrace = Contents(at("switch.trace"));
  const qsizetype imported = switchTrace.indexOf("GET com1_baudrate\nGET com1_stopbits\n"
                                                 "GET com1_bytesizes\nGET com1_paritys\n");
  EXPECT_GT(imported, switchTrace.indexOf("GET deviceno"));
  EXPECT_LT(imported, switchTrace.indexOf("SET "));
  const QStringList switchSets = sets(switchTrace);
  for (const char* sent : {"io_outputs=com1", "com1_baudrate=115200", "com1_bytesizes=8",
                           "com1_stopbits=1", "com1_paritys=NONE"}) {
    EXPECT_TRUE(switchSets.contains(QString::fromUtf8(sent))) << sent;
  }
  EXPECT_TRUE(switched.out.endsWith(
      QString::fromUtf8("按“保存”后写入。\nMESSAGE 保存成功!\nMESSAGE 配置已导出到文件:\\n") +
      at("switch.out") + "\n"));
  EXPECT_TRUE(Contents(at("switch.out")).contains("\ncom1_baudrate=115200\n"));

  // The same switch with the scanner gone after the window opened: the
  // reads that failed are named as on opening.
  const ProgramRun unread = Program(
      LUMIQ_HEADLESS_PATH, {"--silent-from", "47", "import:" + at("switch.profile")});
  EXPECT_TRUE(unread.out.endsWith(QString::fromUtf8(
      "按“保存”后写入。\\n读取设备设置失败，请检查设备是否插入或重试!\\n"
      "com1_stopbits, com1_bytesizes, com1_paritys\n")));

  // Values no control can show, and keys of channels that are off.
  Write(at("odd.profile"), "qrcode=1 \ndmcode=2\nworkmode=9\nwifi0_protocol=UDP\n"
                           "com1_baudrate=9600\nbluetooth0_name=BT\nfoo=1\n");
  Write(at("list.profile"), "io_outputs=com1,hid0\n");
  const ProgramRun odd = Program(
      LUMIQ_HEADLESS_PATH,
      {"--trace", at("odd.trace"), "import:" + at("odd.profile"), "save",
       "export:" + at("odd.out"), "import:" + at("list.profile"), "export:" + at("list.out")});
  ASSERT_EQ(odd.status, 0);
  EXPECT_TRUE(odd.out.contains(QString::fromUtf8(
      "按“保存”后写入。\\n以下设置窗口无法按文件显示，保存时写入箭头后的值:\\n"
      "'qrcode=1 ' → 'qrcode=0'\\n'dmcode=2' → 'dmcode=0'\\n"
      "'workmode=9' → 不写入，设备保持原值\\n'wifi0_protocol=UDP' → 不写入，设备保持原值\\n"
      "以下设置不在窗口中，保存时不会写入:\\nfoo, com1_baudrate, bluetooth0_name\n"
      "MESSAGE 保存成功!\n")))
      << odd.out.toStdString();
  EXPECT_TRUE(odd.out.contains(QString::fromUtf8(
      "\\n'io_outputs=com1,hid0' → 不写入，设备保持原值\n")));
  const QStringList oddSets = sets(Contents(at("odd.trace")));
  EXPECT_TRUE(oddSets.contains("qrcode=0"));
  EXPECT_TRUE(oddSets.contains("dmcode=0"));
  for (const QString& set : oddSets) {
    EXPECT_FALSE(set.startsWith("workmode=") || set.startsWith("wifi0_protocol=") ||
                 set.startsWith("com1_") || set.startsWith("bluetooth0_"))
        << set.toStdString();
  }
  // The files claim what the scanner holds, never the file's value.
  for (const char* name : {"odd.out", "list.out"}) {
    const QByteArray exported = Contents(at(name));
    SCOPED_TRACE(name);
    EXPECT_TRUE(exported.contains("\nqrcode=0\n"));
    EXPECT_TRUE(exported.contains("\nworkmode=2\n"));
    EXPECT_TRUE(exported.contains("\nwifi0_protocol=TCP\n") ||
                !exported.contains("\nwifi0_protocol="));
    EXPECT_FALSE(exported.contains("UDP") || exported.contains("com1,hid0"));
  }
  EXPECT_TRUE(Contents(at("list.out")).contains("\nio_outputs=wifi0\n"));

  // An edit the scanner's character set cannot hold is lost by the import.
  const ProgramRun discarded = Program(
      LUMIQ_HEADLESS_PATH,
      {QString::fromUtf8("text:137:1103=仓库\xF0\x9F\x98\x80"), "import:" + at("list.profile")});
  EXPECT_TRUE(discarded.out.contains(
      QString::fromUtf8("按“保存”后写入。\\n以下修改无法写入设备，导入时已放弃:\\ndeviceno\\n")));
}

class ProfileWindowTest : public ::testing::Test {
 protected:
  ProfileWindowTest() : dialog_(messages_) {
    dialog_.SetRunSettingsModally(false);
    EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
    window_ = dialog_.Settings();
    rig_.ClearTrace();
    messages_.Clear();
  }
  // Presses the button; the file dialog answers with `path`.
  void Press(QPushButton* button, const QString& path) {
    app::GivenFileChooser chooser(path.toStdString());
    window_->UseFileChooser(&chooser);
    button->click();
    window_->UseFileChooser(nullptr);
  }
  QtPageControls& Page(int templateId) { return *window_->PageByTemplate(templateId); }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  ConnectDialog dialog_;
  SettingsWindow* window_ = nullptr;
  QTemporaryDir dir_;
};

TEST_F(ProfileWindowTest, AnImportShowsTheFileKeepsTheRestAndSendsOnlyOnSave) {
  TypeText(Page(131).Widget(1001), "1500");
  ASSERT_TRUE(Page(130).IsChecked(1033));
  QWidget* oldPage = window_->PageAt(0);
  EXPECT_EQ(window_->ImportButton()->text(), QString::fromUtf8("导入配置..."));
  Write(dir_.filePath("in.profile"), "# partial\nqrcode=0\ndeviceno=B\\x41\nmasterver=V9\nfoo=1\n");
  Press(window_->ImportButton(), dir_.filePath("in.profile"));

  EXPECT_TRUE(rig_.Trace().empty());
  EXPECT_NE(window_->PageAt(0), oldPage);  // built afresh from its template
  EXPECT_TRUE(window_->PageAt(0)->isVisible() && !window_->PageAt(1)->isVisible());
  EXPECT_EQ(window_->PageAt(1)->geometry(), window_->PageAt(0)->geometry());
  EXPECT_FALSE(Page(130).IsChecked(1033));
  EXPECT_EQ(Page(137).Text(1103), "BA");
  EXPECT_EQ(Page(137).Text(1001), "V2.0.7");  // the scanner's own firmware
  EXPECT_EQ(Page(131).Text(1001), "1500");    // not in the file: kept
  ASSERT_EQ(messages_.Texts().size(), 1);
  EXPECT_EQ(messages_.Texts()[0].toStdString(),
            std::string("配置已从文件导入:\n") + dir_.filePath("in.profile").toStdString() +
                "\n设置尚未写入设备，按“保存”后写入。\n保存后设备号由 ZR2404170032 改为文件中的 BA。"
                "\n以下设置不在窗口中，保存时不会写入:\nfoo");

  window_->SaveButton()->click();
  EXPECT_EQ(rig_.scanner().Value("qrcode"), "0");
  EXPECT_EQ(rig_.scanner().Value("deviceno"), "BA");
  EXPECT_EQ(rig_.scanner().Value("intervaltime"), "1500");
  EXPECT_EQ(rig_.scanner().Value("foo"), "");
}

}  // namespace
}  // namespace lumiq::ui::qt

// The headless runner as a user of it sees it: its options, its output and
// exit status, and what the scanner received.

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <map>
#include <string>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRegularExpression>
#include <QTemporaryDir>

#include "profile/profile.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/about_dialog.h"
#include "ui/qt/connect_dialog.h"
#include "ui/qt/settings_window.h"
#include "ui/qt/user_actions.h"

namespace lumiq::ui::qt {
namespace {

using Kind = UserAction::Kind;

struct HeadlessRun {
  int status = -1;
  QString out;
  QString err;
};

HeadlessRun Headless(const QStringList& arguments,
                     const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
  QProcess process;
  process.setProcessEnvironment(environment);
  process.start(QString::fromUtf8(LUMIQ_HEADLESS_PATH), arguments);
  HeadlessRun run;
  if (!process.waitForFinished(30000)) return run;
  run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
  run.out = QString::fromUtf8(process.readAllStandardOutput());
  run.err = QString::fromUtf8(process.readAllStandardError());
  return run;
}

QStringList ReadLines(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
}

class HeadlessActionsOnWindow : public ::testing::Test {
 protected:
  HeadlessActionsOnWindow() : dialog_(messages_) {
    dialog_.SetRunSettingsModally(false);
    EXPECT_EQ(dialog_.Connect(), ConnectDialog::Outcome::kConnected);
  }
  bool Apply(const std::string& word) {
    std::string error, note;
    const auto action = ParseUserAction(word, &error);
    EXPECT_TRUE(action) << error;
    return action && ApplyUserAction(*dialog_.Settings(), *action, &note);
  }
  QtPageControls& Page(int templateId) { return *dialog_.Settings()->PageByTemplate(templateId); }

  test::UiScanner rig_;
  test::CapturingSink messages_;
  ConnectDialog dialog_;
};

TEST_F(HeadlessActionsOnWindow, ActLikeTheUser) {
  // The demo scanner has QR on: unchecking then checking clicks twice.
  ASSERT_TRUE(Page(130).IsChecked(1033));
  EXPECT_TRUE(Apply("uncheck:130:1033"));
  EXPECT_FALSE(Page(130).IsChecked(1033));
  EXPECT_TRUE(Apply("check:130:1033"));
  EXPECT_TRUE(Page(130).IsChecked(1033));

  // Hidden or disabled controls take nothing.
  const bool inverse = Page(130).IsChecked(1094);
  EXPECT_FALSE(Apply(inverse ? "uncheck:130:1094" : "check:130:1094"));
  EXPECT_EQ(Page(130).IsChecked(1094), inverse);
  EXPECT_FALSE(Apply("text:137:1001=V9"));

  // A number-only edit keeps the digits of what is typed.
  EXPECT_TRUE(Apply("text:132:1221=4a5"));
  EXPECT_EQ(Page(132).Text(1221), "45");

  // A radio button clicked clears its group; no click unchecks one.
  EXPECT_TRUE(Apply("check:131:1100"));
  EXPECT_TRUE(Page(131).IsChecked(1100));
  EXPECT_FALSE(Page(131).IsChecked(1101) || Page(131).IsChecked(1102));
  EXPECT_FALSE(Apply("uncheck:131:1100"));
  EXPECT_TRUE(Page(131).IsChecked(1100));

  EXPECT_TRUE(Apply("tab:3"));
  EXPECT_TRUE(dialog_.Settings()->PageAt(3)->isVisible());
  EXPECT_TRUE(rig_.Sets().empty());
}

TEST(Headless, UsageErrorsExitWithTwo) {
  for (const QStringList& arguments :
       {QStringList{"--bogus"}, QStringList{"exit", "save"}, QStringList{"tab:9"},
        QStringList{"--hid", "--trace", "x"}, QStringList{"--silent-from", "0"},
        QStringList{"--seed"}, QStringList{"--seed", "/nonexistent/seed.txt"},
        QStringList{"--trace", "a", "--trace", "b"}, QStringList{"--hid", "--hid"},
        QStringList{"--pace"}, QStringList{"--pace", "fast"},
        QStringList{"--hid", "--pace", "1ms"}}) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const HeadlessRun run = Headless(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("usage"));
  }
}

// At a real scanner's pace the window says and sends the same.
TEST(Headless, APacedScannerGetsTheSameRun) {
  QTemporaryDir dir;
  const QStringList actions = {"uncheck:130:1033", "save", "exit"};
  const HeadlessRun quick = Headless(QStringList{"--trace", dir.filePath("quick.txt")} + actions);
  const HeadlessRun paced =
      Headless(QStringList{"--pace", "100us", "--trace", dir.filePath("paced.txt")} + actions);
  EXPECT_EQ(quick.status, 0) << quick.err.toStdString();
  EXPECT_EQ(paced.status, quick.status);
  EXPECT_EQ(paced.out, quick.out);
  EXPECT_EQ(ReadLines(dir.filePath("paced.txt")), ReadLines(dir.filePath("quick.txt")));
  EXPECT_GT(ReadLines(dir.filePath("quick.txt")).size(), 40);
}

TEST(Headless, AFailedConnectPrintsItsMessageAndStops) {
  QTemporaryDir dir;
  const QString trace = dir.filePath("trace.txt");
  const HeadlessRun run = Headless({"--silent-from", "1", "--trace", trace, "save"});
  EXPECT_EQ(run.status, 1);
  EXPECT_EQ(run.out, QString::fromUtf8("MESSAGE 连接设备失败，请检查设备是否插入或重试!\\n原因：设备没有应答。\n"));
  EXPECT_EQ(ReadLines(trace), QStringList{"HANDSHAKE"});

  // A trace that cannot be written is an output failure naming the file.
  const HeadlessRun unwritable = Headless({"--silent-from", "1", "--trace", dir.path(), "save"});
  EXPECT_EQ(unwritable.status, 1);  // the connect failure comes first
  EXPECT_TRUE(unwritable.err.contains(dir.path())) << unwritable.err.toStdString();
  const HeadlessRun folder = Headless({"--trace", dir.path(), "exit"});
  EXPECT_EQ(folder.status, 3);
  EXPECT_TRUE(QFileInfo(dir.path()).isDir());
}

TEST(Headless, RunsTheActionsAgainstASeededScanner) {
  QTemporaryDir dir;
  const QString seed = dir.filePath("seed.txt");
  {
    QFile file(seed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("masterver=V2.0.7\nqrcode=0\ndeviceno=\\xB2\\xD6\n");
  }
  const QString trace = dir.filePath("trace.txt");
  const HeadlessRun run = Headless({"--seed", seed, "--trace", trace, "check:130:1033",
                            "text:137:1103=ZR-9", "save", "exit"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  const QStringList out = run.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_GE(out.size(), 2);
  EXPECT_EQ(out.first(), QString::fromUtf8("MESSAGE 连接设备成功!"));
  EXPECT_EQ(out.last(), QString::fromUtf8("MESSAGE 保存成功!"));

  const QStringList lines = ReadLines(trace);
  ASSERT_GE(lines.size(), 3);
  EXPECT_EQ(lines[0], "HANDSHAKE");
  EXPECT_EQ(lines[1], "GET masterver");
  EXPECT_TRUE(lines.contains("GET deviceno"));
  EXPECT_TRUE(lines.contains("SET qrcode=1"));
  EXPECT_TRUE(lines.contains("SET deviceno=ZR-9"));
  EXPECT_EQ(lines.last(), "COMMIT");
  EXPECT_EQ(lines.count("COMMIT"), 1);
}

// SET lines (the runner's trace, `zrctl restore --dry-run`) as the last
// value each key was sent, in bytes.
std::map<std::string, std::string> SentSettings(const QStringList& lines) {
  std::map<std::string, std::string> sent;
  for (const QString& line : lines) {
    if (!line.startsWith("SET ")) continue;
    std::string key, value, error;
    EXPECT_TRUE(profile::ParseAssignment(line.mid(4).toStdString(), &key, &value, &error)) << error;
    sent[key] = value;
  }
  return sent;
}

TEST(Headless, AProfileEditedWithoutAScannerRestoresAsTheWindowWouldHaveSaved) {
  QTemporaryDir dir;
  const QByteArray site =
      "# counter 3\nmasterver=V2.0.7\ndeviceno=\\xB2\\xD6-1\nqrcode=0\nio_outputs=com1\n"
      "io_inits=com1\nio_monitors=com1\ncom1_baudrate=115200\ncom1_stopbits=1\n"
      "com1_bytesizes=8\ncom1_paritys=NONE\n";
  for (const char* name : {"site.profile", "scanner.txt"}) {
    QFile file(dir.filePath(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(site);
  }
  const QStringList edits = {"check:130:1033", "text:137:1103=仓库-5", "text:133:1067=57600"};

  const HeadlessRun onFile = Headless(QStringList{"--trace", dir.filePath("file.trace"),
                                                  "open:" + dir.filePath("site.profile")} +
                                      edits + QStringList{"save", "exit"});
  EXPECT_EQ(onFile.status, 0) << onFile.err.toStdString();
  EXPECT_TRUE(onFile.out.endsWith(QString::fromUtf8("MESSAGE 配置已保存到文件，未写入任何设备:\\n") +
                                  dir.filePath("site.profile") + "\n"))
      << onFile.out.toStdString();
  EXPECT_TRUE(ReadLines(dir.filePath("file.trace")).isEmpty());
  QFile saved(dir.filePath("site.profile"));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(saved.readAll());
  EXPECT_TRUE(text.startsWith("# counter 3\n")) << text.toStdString();
  EXPECT_TRUE(text.contains(QString::fromUtf8("\ndeviceno=仓库-5\n"))) << text.toStdString();
  EXPECT_TRUE(text.contains("\nqrcode=1\n"));

  const HeadlessRun onScanner =
      Headless(QStringList{"--seed", dir.filePath("scanner.txt"), "--trace",
                           dir.filePath("scanner.trace")} + edits + QStringList{"save"});
  EXPECT_EQ(onScanner.status, 0) << onScanner.err.toStdString();
  QProcess zrctl;
  zrctl.start(QString::fromUtf8(LUMIQ_ZRCTL_PATH),
              {"restore", "--dry-run", dir.filePath("site.profile")});
  ASSERT_TRUE(zrctl.waitForFinished(30000));
  EXPECT_EQ(zrctl.exitCode(), 0) << zrctl.readAllStandardError().toStdString();
  const QStringList restored =
      QString::fromUtf8(zrctl.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  const auto windowSent = SentSettings(ReadLines(dir.filePath("scanner.trace")));
  EXPECT_FALSE(windowSent.empty());
  EXPECT_EQ(SentSettings(restored), windowSent);
}

TEST(Headless, TestScansArePrintedAsTheWindowJudgesThem) {
  QTemporaryDir dir;
  const QString seed = dir.filePath("seed.txt");
  {
    QFile file(seed);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("masterver=V2.0.7\nio_outputs=hid0\ncontentorder=PREFIX,CONTENT,POSTFIX,ENTER\n"
               "codeprefix=1D53\ncodeprepostformat=hex\nnfcable=0\ncom1_baudrate=9600\n"
               "com1_stopbits=1\ncom1_bytesizes=8\ncom1_paritys=NONE\n");
  }
  const QString trace = dir.filePath("trace.txt");
  const HeadlessRun run =
      Headless({"--seed", seed, "--trace", trace, "serial:x", "testscan", "keys:\\x1dS7\\r",
                "keys:S7\\r\\n", "serial:x", "channel:com1", "testscan", "serial:\\x1dS8\\r"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  const QStringList out = run.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(out.size(), 5) << run.out.toStdString();
  EXPECT_EQ(out[1], "SCAN <GS>S7<CR> MATCH");
  EXPECT_EQ(out[2], QString::fromUtf8("SCAN S7<CR><LF> DIFFERS 开头应为 <GS>S，实际为 S7; "
                                      "结尾应为 <CR>，实际为 <CR><LF>"));
  EXPECT_TRUE(out[3].startsWith(QString::fromUtf8("MESSAGE 输出方式已改为“COM输出”")));
  EXPECT_EQ(out[4], "SCAN <GS>S8<CR> MATCH");
  EXPECT_TRUE(run.err.contains("action changed nothing: the test scan window is not open"));
  EXPECT_TRUE(run.err.contains("action changed nothing: the test scan window has no serial port open"));
  // Nothing was sent: the channel goes out with Save only.
  for (const QString& line : ReadLines(trace)) EXPECT_FALSE(line.startsWith("SET")) << line.toStdString();
}

TEST(Headless, AScannerFallingSilentShowsTheReadFailureAsOneLine) {
  const HeadlessRun run = Headless({"--silent-from", "3"});
  EXPECT_EQ(run.status, 0);
  const QStringList out = run.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(out.size(), 2);
  EXPECT_TRUE(out[1].startsWith(
      QString::fromUtf8("MESSAGE 读取设备设置失败，请检查设备是否插入或重试!\\nqrcode, ")));
}

void WriteFile(const QString& path, const QByteArray& text) {
  QFile file(path);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(text);
}

// Two scanners: the chooser's rows are printed, pick:2 connects the second
// (its device number in the export), and after exit the runner can pull,
// plug and connect again.
TEST(Headless, SeveralSeedsOfferTheChooserAndPickConnectsTheChosenScanner) {
  QTemporaryDir dir;
  WriteFile(dir.filePath("a.txt"), "masterver=V2.0.7\ndeviceno=A-1\n");
  WriteFile(dir.filePath("b.txt"), "masterver=V2.0.8\ndeviceno=\\xB2\\xD6-2\n");
  const QString trace = dir.filePath("trace.txt");
  const QString exported = dir.filePath("b.profile");
  const HeadlessRun run = Headless({"--seed", dir.filePath("a.txt"), "--seed", dir.filePath("b.txt"),
                                    "--trace", trace, "pick:2", "export:" + exported, "exit",
                                    "unplug:1", "connect", "exit", "plug:1", "connect", "pick:3"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  const QString first = QString::fromUtf8("CHOICE 1 端口 1-1  设备号 A-1  固件版本 V2.0.7\n");
  const QString second = QString::fromUtf8("CHOICE 2 端口 1-2  设备号 仓-2  固件版本 V2.0.8\n");
  const QString connected = QString::fromUtf8("MESSAGE 连接设备成功!\n");
  EXPECT_EQ(run.out, first + second + connected +
                         QString::fromUtf8("MESSAGE 配置已导出到文件:\\n") + exported + "\n" +
                         connected + first + second);
  EXPECT_TRUE(run.err.contains("the chooser has no such row")) << run.err.toStdString();

  QFile profile(exported);
  ASSERT_TRUE(profile.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(profile.readAll());
  EXPECT_TRUE(text.contains(QString::fromUtf8("\ndeviceno=仓-2\n"))) << text.toStdString();
  EXPECT_TRUE(text.contains("firmware V2.0.8"));

  // Scanner 1: read for the chooser twice; scanner 2: read, chosen, then
  // alone (no chooser), then read again.
  const QStringList lines = ReadLines(trace);
  const QStringList chooserRead = {"HANDSHAKE", "GET deviceno", "GET masterver"};
  ASSERT_EQ(lines.mid(0, 7), QStringList{"SCANNER 1"} + chooserRead + chooserRead);
  EXPECT_EQ(lines[7], "SCANNER 2");
  EXPECT_EQ(lines.mid(8, 5), chooserRead + QStringList({"HANDSHAKE", "GET masterver"}));
  EXPECT_EQ(lines.count("HANDSHAKE"), 6);
  EXPECT_EQ(lines.mid(lines.size() - 3), chooserRead);
  EXPECT_FALSE(lines.contains("COMMIT"));
}

TEST(Headless, TheNewActionsAreCheckedBeforeAnythingRuns) {
  for (const QStringList& arguments :
       {QStringList{"unplug:2"}, QStringList{"pick:0"}, QStringList{"--hid", "plug:1"},
        QStringList{"exit", "pick:1"}, QStringList{"exit", "connect", "exit", "save"}}) {
    SCOPED_TRACE(arguments.join(' ').toStdString());
    const HeadlessRun run = Headless(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.out.isEmpty());
  }
  // A connect while the settings window is open changes nothing; one
  // scanner never shows the chooser.
  const HeadlessRun open = Headless({"connect", "pick:1", "save"});
  EXPECT_EQ(open.status, 0);
  EXPECT_EQ(open.out, QString::fromUtf8("MESSAGE 连接设备成功!\nMESSAGE 保存成功!\n"));
  EXPECT_TRUE(open.err.contains("the settings window is open"));
  EXPECT_TRUE(open.err.contains("no scanner chooser is open"));
  // A connect that fails after the first one ends the run with status 1.
  const HeadlessRun gone = Headless({"exit", "unplug:1", "connect"});
  EXPECT_EQ(gone.status, 1);
}

TEST(Headless, WritesTheScreenshots) {
  QTemporaryDir dir;
  const HeadlessRun run = Headless({"--screenshots", dir.path(), "tab:2"});
  EXPECT_EQ(run.status, 0) << run.err.toStdString();
  const QImage connect(dir.filePath("connect.png"));
  const QImage about(dir.filePath("about.png"));
  EXPECT_FALSE(connect.isNull());
  EXPECT_FALSE(about.isNull());
  // The windows have their templates' sizes in their fonts (320 x 200,
  // 235 x 55 and 368 x 279 dialog units).
  test::CapturingSink messages;
  EXPECT_EQ(connect.size(), ConnectDialog(messages).size());
  EXPECT_EQ(about.size(), AboutDialog().size());
  QWidget probe;
  const QSize settingsSize =
      DialogClientSize(BuildDialog(*res::FindDialogTemplate(134), &probe));
  for (int tab = 0; tab < 5; ++tab) {
    const QImage settings(dir.filePath(QString("settings-tab%1.png").arg(tab)));
    SCOPED_TRACE(tab);
    EXPECT_EQ(settings.size(), settingsSize);
  }
}

// Root runs the runner in a sticky folder another user owns, where that user
// has put links to root's files under the names of the trace and a
// screenshot: the links' targets stay as they were, and the run says it
// wrote nothing there. The links are planted as "nobody", so only root can.
TEST(Headless, TraceAndScreenshotsAreNotWrittenThroughPlantedLinks) {
  if (geteuid() != 0) GTEST_SKIP() << "planting links as another user needs root";
  constexpr uid_t kNobody = 65534;
  QTemporaryDir dir;
  const QByteArray base = QFile::encodeName(dir.path());
  ASSERT_EQ(chmod(base.constData(), 0755), 0);
  const QByteArray trace = base + "/root-trace";
  const QByteArray shot = base + "/root-shot";
  for (const QByteArray& path : {trace, shot}) {
    QFile file(QFile::decodeName(path));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("root's\n");
  }
  const QByteArray theirs = base + "/u";
  ASSERT_EQ(mkdir(theirs.constData(), 0755), 0);
  ASSERT_EQ(chown(theirs.constData(), kNobody, kNobody), 0);
  ASSERT_EQ(chmod(theirs.constData(), 01755), 0);
  const pid_t child = fork();
  if (child == 0) {
    if (setresgid(kNobody, kNobody, kNobody) != 0 || setresuid(kNobody, kNobody, kNobody) != 0) {
      _exit(2);
    }
    const bool planted = symlink(trace.constData(), (theirs + "/trace.txt").constData()) == 0 &&
                         mkdir((theirs + "/shots").constData(), 0755) == 0 &&
                         symlink(shot.constData(),
                                 (theirs + "/shots/about.png").constData()) == 0;
    _exit(planted ? 0 : 1);
  }
  int planted = -1;
  ASSERT_EQ(waitpid(child, &planted, 0), child);
  ASSERT_TRUE(WIFEXITED(planted) && WEXITSTATUS(planted) == 0);

  const HeadlessRun run = Headless({"--trace", QFile::decodeName(theirs + "/trace.txt"),
                                    "--screenshots", QFile::decodeName(theirs + "/shots"),
                                    "save"});
  EXPECT_EQ(run.status, 3) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("trace.txt: it is a symbolic link")) << run.err.toStdString();
  EXPECT_TRUE(run.err.contains("about.png: it is a symbolic link")) << run.err.toStdString();
  for (const QByteArray& path : {trace, shot}) {
    QFile file(QFile::decodeName(path));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("root's\n")) << path.constData();
  }
  // The other pictures, which no link stood in for, were written.
  EXPECT_FALSE(QImage(QFile::decodeName(theirs + "/shots/connect.png")).isNull());
}

// The windows' language: Chinese unless asked, English on --lang en with
// nothing else changed, and the system's language on --lang system.
class HeadlessLanguage : public ::testing::Test {
 protected:
  HeadlessLanguage() {
    QFile bad(dir_.filePath("bad.profile"));
    EXPECT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("qrcode=1\nthis line has no equals sign\n");
    QFile odd(dir_.filePath("odd.profile"));
    EXPECT_TRUE(odd.open(QIODevice::WriteOnly));
    odd.write("qrcode=0\nfoo=1\n");
  }
  // One of every kind of message: connect, import refused at a line, import
  // with a key no page shows, export, save; the trace of what was sent.
  HeadlessRun Run(const QStringList& language, QStringList* trace,
                  const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment()) {
    const QString traceFile = dir_.filePath("trace.txt");
    QFile::remove(traceFile);
    const HeadlessRun run = Headless(
        language + QStringList{"--trace", traceFile, "import:" + dir_.filePath("bad.profile"),
                               "import:" + dir_.filePath("odd.profile"),
                               "export:" + dir_.filePath("out.profile"), "save", "exit"},
        environment);
    if (trace) *trace = ReadLines(traceFile);
    return run;
  }
  static QProcessEnvironment WithLocale(const QString& locale) {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
      environment.remove(QString::fromLatin1(name));
    }
    environment.insert("LC_ALL", locale);
    return environment;
  }
  static bool HasChinese(const QString& text) {
    return text.contains(QRegularExpression(QStringLiteral("[\\x{3000}-\\x{9FFF}\\x{FF00}-\\x{FFEF}]")));
  }

  QTemporaryDir dir_;
};

TEST_F(HeadlessLanguage, EnglishOnAskingWithTheSameCommandsSent) {
  QStringList chineseTrace, englishTrace;
  const HeadlessRun chinese = Run({}, &chineseTrace);
  const HeadlessRun english = Run({"--lang", "en"}, &englishTrace);
  ASSERT_EQ(chinese.status, 0) << chinese.err.toStdString();
  ASSERT_EQ(english.status, 0) << english.err.toStdString();
  EXPECT_EQ(englishTrace, chineseTrace);
  EXPECT_FALSE(chineseTrace.isEmpty());

  const QString bad = dir_.filePath("bad.profile");
  const QStringList zh = chinese.out.split('\n', Qt::SkipEmptyParts);
  const QStringList en = english.out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(zh.size(), 5) << chinese.out.toStdString();
  ASSERT_EQ(en.size(), 5) << english.out.toStdString();
  EXPECT_EQ(zh[0], QString::fromUtf8("MESSAGE 连接设备成功!"));
  EXPECT_EQ(en[0], "MESSAGE Connected.");
  // The pattern puts the file and the line where each language wants them.
  EXPECT_TRUE(zh[1].startsWith(QString::fromUtf8("MESSAGE 导入失败，配置文件有误，窗口未改变:\\n") +
                               bad + QString::fromUtf8(" 第 2 行: ")))
      << zh[1].toStdString();
  EXPECT_TRUE(en[1].startsWith("MESSAGE Import failed: the configuration file is wrong; the "
                               "window is unchanged:\\n" + bad + " line 2: "))
      << en[1].toStdString();
  EXPECT_TRUE(en[2].startsWith("MESSAGE Configuration imported from the file:\\n" +
                               dir_.filePath("odd.profile")))
      << en[2].toStdString();
  EXPECT_TRUE(en[2].endsWith("These settings are not in the window; Save does not write "
                             "them:\\nfoo"))
      << en[2].toStdString();
  EXPECT_EQ(en[3], "MESSAGE Configuration exported to the file:\\n" + dir_.filePath("out.profile") +
                       "\\nThe file holds the Wi-Fi password: keep it safe and do not share it.");
  EXPECT_EQ(en[4], "MESSAGE Saved.");
  for (const QString& line : en) EXPECT_FALSE(HasChinese(line)) << line.toStdString();

  // The failures of the connect dialog and of opening the window.
  EXPECT_EQ(Headless({"--lang", "en", "--silent-from", "1"}).out,
            "MESSAGE Connecting failed. Check that the scanner is plugged in, or try again."
            "\\nCause: the scanner does not answer.\n");
  EXPECT_EQ(Headless({"--lang", "en", "--silent-from", "2"}).out,
            "MESSAGE Reading the scanner's version failed. Check that it is plugged in, or try "
            "again.\n");
  const QStringList loadFailed =
      Headless({"--lang", "en", "--silent-from", "3"}).out.split('\n', Qt::SkipEmptyParts);
  ASSERT_EQ(loadFailed.size(), 2);
  EXPECT_TRUE(loadFailed[1].startsWith("MESSAGE Reading the settings failed. Check that the "
                                       "scanner is plugged in, or try again.\\nqrcode, "));
}

TEST_F(HeadlessLanguage, ChineseWithoutTheOptionByteForByte) {
  const HeadlessRun unasked = Run({}, nullptr, WithLocale("en_US.UTF-8"));
  const HeadlessRun chinese = Run({"--lang", "zh"}, nullptr);
  EXPECT_EQ(unasked.status, 0);
  EXPECT_EQ(unasked.out, chinese.out);
  EXPECT_TRUE(HasChinese(unasked.out));
}

TEST_F(HeadlessLanguage, SystemFollowsTheLocaleAsTheApplicationDoes) {
  const QString connectedZh = QString::fromUtf8("MESSAGE 连接设备成功!\n");
  EXPECT_EQ(Headless({"--lang", "system"}, WithLocale("en_US.UTF-8")).out, "MESSAGE Connected.\n");
  EXPECT_EQ(Headless({"--lang", "system"}, WithLocale("de_DE.UTF-8")).out, "MESSAGE Connected.\n");
  EXPECT_EQ(Headless({"--lang", "system"}, WithLocale("zh_CN.UTF-8")).out, connectedZh);
  EXPECT_EQ(Headless({"--lang", "system"}, WithLocale("C")).out, connectedZh);
  EXPECT_EQ(Headless({"--lang", "system"}, WithLocale("POSIX")).out, connectedZh);
  // A language list names English first on a Chinese locale.
  QProcessEnvironment listed = WithLocale("zh_CN.UTF-8");
  listed.insert("LANGUAGE", "en_GB:zh_CN");
  EXPECT_EQ(Headless({"--lang", "system"}, listed).out, "MESSAGE Connected.\n");

  for (const QStringList& arguments : {QStringList{"--lang", "fr"}, QStringList{"--lang"}}) {
    const HeadlessRun run = Headless(arguments);
    EXPECT_EQ(run.status, 2);
    EXPECT_TRUE(run.err.contains("--lang")) << run.err.toStdString();
  }
}

}  // namespace
}  // namespace lumiq::ui::qt

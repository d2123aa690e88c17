#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "tests/ui/ui_test_support.h"
#include "ui/qt/program_icon.h"

namespace lumiq {
namespace {

TEST(Resources, StringTable) {
  EXPECT_STREQ(res::StringResource(res::kAboutMenuStringId), "关于 LumiqConfigTool(&A)...");
  EXPECT_STREQ(res::StringResource(res::kAppTitleStringId), "LumiqConfigTool");
  EXPECT_STREQ(res::StringResource(102), "");
  EXPECT_STREQ(res::kAppName, "LumiqConfigTool");
}

TEST(Resources, TheProgramIconIsEmbedded) {
  const QPixmap icon = ui::qt::ProgramIconPixmap();
  ASSERT_FALSE(icon.isNull());
  EXPECT_EQ(icon.size(), QSize(32, 32));
  EXPECT_FALSE(ui::qt::ProgramIcon().availableSizes().isEmpty());
}

TEST(Resources, TheIcoHoldsEverySize) {
  QImageReader reader(QString::fromStdString(test::SourcePath("res/icons/lumiq.ico")));
  if (!reader.canRead()) GTEST_SKIP() << "no ICO reader in this Qt";
  QList<int> widths;
  do {
    widths << reader.read().width();
  } while (reader.jumpToNextImage());
  std::sort(widths.begin(), widths.end());
  EXPECT_EQ(widths, QList<int>({16, 24, 32, 48, 256}));
}

TEST(Resources, TheIconFilesComeFromTheirGenerator) {
  // The SVG is text and the generator's drawing is the same list of shapes,
  // so an SVG that differs means the checked-in files are stale.
  QTemporaryDir dir;
  QProcess generator;
  generator.start(QString::fromUtf8(LUMIQ_MAKE_ICON_PATH), {dir.path()});
  ASSERT_TRUE(generator.waitForFinished(30000));
  ASSERT_EQ(generator.exitCode(), 0);
  QFile fresh(dir.filePath("lumiq.svg"));
  QFile kept(QString::fromStdString(test::SourcePath("res/icons/lumiq.svg")));
  ASSERT_TRUE(fresh.open(QIODevice::ReadOnly) && kept.open(QIODevice::ReadOnly));
  EXPECT_EQ(fresh.readAll(), kept.readAll());
}

}  // namespace
}  // namespace lumiq

// The catalogue of the windows' texts, without any toolkit (so also in the
// Windows stage): every text the windows show has an English entry that
// keeps its placeholders, lookups leave the Chinese source byte for byte,
// patterns take their parts, and the language follows the rule the
// applications use on the system's UI languages.

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/i18n/catalogue.h"
#include "tests/support/chinese_text.h"
#include "res/ids/app_ids.h"
#include "res/strings.h"
#include "ui/app/page_tabs.h"
#include "ui/app/profile_transfer.h"
#include "ui/pages/connect_message.h"
#include "ui/pages/settings_sequence.h"

namespace lumiq::i18n {
namespace {

constexpr int kTemplateIds[] = {100, 102, 130, 131, 132, 133, 134, 137};

using test::HasChinese;

std::set<std::string> Placeholders(const std::string& text) {
  std::set<std::string> found;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9') found.insert(text.substr(i, 2));
  }
  return found;
}

// Every text the windows show, as the program writes it: captions of the
// templates, the tabs, the string table, the file dialogs and the messages.
std::vector<std::string> VisibleTexts() {
  std::vector<std::string> texts;
  for (int id : kTemplateIds) {
    const res::DialogTemplate* dialog = res::FindDialogTemplate(id);
    texts.push_back(dialog->caption);
    // Combo box items are values sent to the scanner, never translated.
    for (const res::ControlTemplate& control : dialog->controls) texts.push_back(control.caption);
  }
  for (const ui::app::PageTab& tab : ui::app::kPageTabs) texts.push_back(tab.caption);
  texts.push_back(res::StringResource(res::kAboutMenuStringId));
  for (const ui::app::FileFilter& filter : ui::app::kExportFilters) texts.push_back(filter.name);
  for (const char* text :
       {res::kConnectFailedText, res::kVersionFailedText, res::kConnectedText,
        ui::kSaveSucceededText, ui::kSaveFailedText, ui::kLoadFailedText, ui::app::kImportTitle,
        ui::app::kExportTitle, ui::app::kExportedText, ui::app::kExportedSecretText,
        ui::app::kExportUnstorableText,
        ui::app::kExportWriteFailedText, ui::app::kImportedText, ui::app::kImportNotSentText,
        ui::app::kImportDeviceNumberText, ui::app::kImportIgnoredText,
        ui::app::kImportAdjustedText, ui::app::kImportKeptText,
        ui::app::kImportDiscardedEditsText, ui::app::kImportUnreadableText, ui::app::kImportRefusedText,
        ui::app::kImportRefusedLineText}) {
    texts.push_back(text);
  }
  return texts;
}

class Catalogue : public ::testing::Test {
 protected:
  ~Catalogue() override { SetLanguage(Language::kChinese); }
};

TEST_F(Catalogue, EveryVisibleChineseTextHasAnEnglishEntryWithItsPlaceholders) {
  std::vector<std::string> missing, wrong;
  for (const std::string& text : VisibleTexts()) {
    if (!HasChinese(text)) continue;  // "QR", "hex", "TCP/IP": the same in every language
    const std::string english = TrIn(Language::kEnglish, text.c_str());
    if (english == text) {
      missing.push_back(text);
    } else if (HasChinese(english) || Placeholders(english) != Placeholders(text)) {
      wrong.push_back(text + " -> " + english);
    }
  }
  EXPECT_EQ(missing, std::vector<std::string>{});
  EXPECT_EQ(wrong, std::vector<std::string>{});

  size_t count = 0;
  const CatalogueEntry* entries = EnglishEntries(&count);
  std::set<std::string> sources;
  for (size_t i = 0; i < count; ++i) {
    EXPECT_TRUE(sources.insert(entries[i].source).second) << "twice: " << entries[i].source;
    EXPECT_TRUE(HasChinese(entries[i].source)) << "not a Chinese source: " << entries[i].source;
  }
}

TEST_F(Catalogue, ChineseIsTheSourceByteForByteAndEnglishIsLookedUp) {
  // Before any choice, and after choosing Chinese, a text is its source.
  EXPECT_EQ(CurrentLanguage(), Language::kChinese);
  EXPECT_EQ(Tr(res::kConnectedText), res::kConnectedText);
  SetLanguage(Language::kEnglish);
  EXPECT_STREQ(Tr(res::kConnectedText), "Connected.");
  EXPECT_STREQ(Tr("连接设备"), "Connect");
  // A text the catalogue lacks, and ASCII captions, stay as written.
  EXPECT_STREQ(Tr("未知文字"), "未知文字");
  EXPECT_STREQ(Tr("hextochar"), "hextochar");
  EXPECT_STREQ(Tr(""), "");
  SetLanguage(Language::kChinese);
  EXPECT_EQ(Tr(res::kConnectedText), res::kConnectedText);
}

TEST_F(Catalogue, MessagesInEnglishCarryNoChineseAndTheirParts) {
  SetLanguage(Language::kEnglish);
  for (OpenFailure cause : {OpenFailure::kNone, OpenFailure::kNotFound,
                            OpenFailure::kPermissionDenied, OpenFailure::kInUse,
                            OpenFailure::kNoAnswer, OpenFailure::kUnknown}) {
    const std::string message = ui::ConnectFailedMessage(cause);
    EXPECT_FALSE(HasChinese(message)) << message;
    EXPECT_EQ(message.rfind("Connecting failed.", 0), 0u) << message;
  }
  EXPECT_EQ(ui::ConnectFailedMessage(OpenFailure::kInUse),
            "Connecting failed. Check that the scanner is plugged in, or try again.\n"
            "Cause: another program is using the scanner.");
  ui::SaveOutcome failed;
  failed.failedKeys = {"qrcode", "dmcode", "qrcode"};
  EXPECT_EQ(ui::SaveMessage(failed),
            "Saving failed. Check that the scanner is plugged in, or try again.\nqrcode, dmcode");
  EXPECT_EQ(ui::SaveMessage(ui::SaveOutcome{}), "Saved.");
  EXPECT_EQ(TrFormat(ui::app::kImportRefusedLineText, {"a.profile", "12"}), "a.profile line 12");

  SetLanguage(Language::kChinese);
  // The patterns give the texts the window always showed.
  EXPECT_EQ(TrFormat(ui::app::kImportRefusedLineText, {"a.profile", "12"}), "a.profile 第 12 行");
  EXPECT_EQ(TrFormat(ui::app::kExportedText, {"x.profile"}), "配置已导出到文件:\nx.profile");
  EXPECT_EQ(TrFormat(ui::app::kImportIgnoredText, {ui::KeyLines({"foo", "bar"})}),
            ui::MessageWithKeys("以下设置不在窗口中，保存时不会写入:", {"foo", "bar"}));
}

TEST(CatalogueFormat, PutsEachPartInItsPlaceAndLeavesOtherPercents) {
  EXPECT_EQ(Format("%2 before %1", {"one", "two"}), "two before one");
  EXPECT_EQ(Format("100% of %1, %3 stays", {"keys"}), "100% of keys, %3 stays");
  // A part is not read as a pattern again.
  EXPECT_EQ(Format("%1%2", {"%2", "x"}), "%2x");
  EXPECT_EQ(Format("%", {}), "%");
}

TEST(LanguageChoice, ChineseForChineseEnglishForAnyOtherNamedChineseForNone) {
  using L = Language;
  const std::vector<std::pair<std::vector<std::string>, L>> cases = {
      {{"zh-CN"}, L::kChinese},
      {{"zh_TW.UTF-8"}, L::kChinese},
      {{"zh-Hans-CN", "en-US"}, L::kChinese},
      {{"ZH"}, L::kChinese},
      {{"en-US", "zh-CN"}, L::kEnglish},
      {{"de-DE"}, L::kEnglish},
      {{"fr"}, L::kEnglish},
      {{"C"}, L::kChinese},
      {{"POSIX"}, L::kChinese},
      {{"C.UTF-8"}, L::kChinese},
      {{}, L::kChinese},
      {{"C", "ja-JP"}, L::kEnglish},
  };
  for (const auto& [names, expected] : cases) {
    std::string joined;
    for (const std::string& name : names) joined += name + " ";
    EXPECT_EQ(LanguageForUiLanguages(names), expected) << joined;
  }
  EXPECT_EQ(LanguageNamed("en"), L::kEnglish);
  EXPECT_EQ(LanguageNamed("zh"), L::kChinese);
  EXPECT_EQ(LanguageNamed("fr"), std::nullopt);
  EXPECT_EQ(LanguageNamed(LanguageName(L::kEnglish)), L::kEnglish);
}

}  // namespace
}  // namespace lumiq::i18n

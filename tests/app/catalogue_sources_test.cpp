// The catalogue against the sources: every Chinese string literal of the
// windows' code (res/, ui/) is a catalogue entry, and every entry is such a
// literal. A text added to a window without a translation, or a translation
// left behind by a text that changed, fails here. (Linux only: it reads the
// source tree.)

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "res/dialog_template.h"
#include "res/i18n/catalogue.h"
#include "tests/support/chinese_text.h"

namespace lumiq::i18n {
namespace {

using test::HasChinese;

// The string literals of a C++ source, escapes resolved, adjacent literals
// joined as the compiler joins them; comments and character literals skipped.
std::vector<std::string> StringLiterals(const std::string& source) {
  std::vector<std::string> literals;
  bool joinNext = false;  // only blanks since the last literal ended
  for (size_t i = 0; i < source.size(); ++i) {
    const char c = source[i];
    if (c == '/' && i + 1 < source.size() && source[i + 1] == '/') {
      i = source.find('\n', i);
      if (i == std::string::npos) break;
      continue;
    }
    if (c == '/' && i + 1 < source.size() && source[i + 1] == '*') {
      i = source.find("*/", i + 2);
      if (i == std::string::npos) break;
      ++i;
      continue;
    }
    if (c == '\'' || c == '"') {
      std::string text;
      size_t j = i + 1;
      for (; j < source.size() && source[j] != c; ++j) {
        if (source[j] == '\\' && j + 1 < source.size()) {
          const char escaped = source[++j];
          text += escaped == 'n' ? '\n' : escaped == 't' ? '\t' : escaped;
        } else {
          text += source[j];
        }
      }
      i = j;
      if (c == '\'') {
        joinNext = false;
        continue;
      }
      if (joinNext && !literals.empty()) {
        literals.back() += text;
      } else {
        literals.push_back(text);
      }
      joinNext = true;
      continue;
    }
    if (c != ' ' && c != '\n' && c != '\t' && c != '\r') joinNext = false;
  }
  return literals;
}

std::set<std::string> ChineseLiteralsOfTheWindows() {
  std::set<std::string> found;
  const std::filesystem::path root(LUMIQ_SOURCE_DIR);
  for (const char* folder : {"res", "ui"}) {
    for (const auto& entry : std::filesystem::recursive_directory_iterator(root / folder)) {
      const std::string extension = entry.path().extension().string();
      if (extension != ".cpp" && extension != ".h") continue;
      // The version records' descriptions (res/program/, and
      // res/version.h.in, passed over above) are what Explorer shows of the
      // files, in the record's own language; no window shows them.
      if (entry.path().parent_path().parent_path() == root / "res" / "program") {
        continue;
      }
      std::ifstream file(entry.path(), std::ios::binary);
      std::stringstream text;
      text << file.rdbuf();
      for (const std::string& literal : StringLiterals(text.str())) {
        if (HasChinese(literal)) found.insert(literal);
      }
    }
  }
  return found;
}

TEST(CatalogueSources, EveryChineseLiteralIsAnEntryAndEveryEntryALiteral) {
  const std::set<std::string> literals = ChineseLiteralsOfTheWindows();
  ASSERT_FALSE(literals.empty());
  // Font faces are names for the font matcher, never shown.
  std::set<std::string> notShown;
  for (int id : {100, 102, 103, 130, 131, 132, 133, 134, 137}) {
    notShown.insert(res::FindDialogTemplate(id)->fontFace);
  }

  size_t count = 0;
  const CatalogueEntry* entries = EnglishEntries(&count);
  std::set<std::string> sources;
  for (size_t i = 0; i < count; ++i) sources.insert(entries[i].source);

  std::vector<std::string> untranslated, unused;
  for (const std::string& literal : literals) {
    if (!sources.count(literal) && !notShown.count(literal)) untranslated.push_back(literal);
  }
  for (const std::string& source : sources) {
    if (!literals.count(source)) unused.push_back(source);
  }
  EXPECT_EQ(untranslated, std::vector<std::string>{});
  EXPECT_EQ(unused, std::vector<std::string>{});
}

TEST(CatalogueSources, LiteralsAreReadAsTheCompilerJoinsThem) {
  EXPECT_EQ(StringLiterals("f(\"a\\n\" \"b\"); // \"c\"\n/* \"d\" */ g('\"', \"e\\\"\");"),
            (std::vector<std::string>{"a\nb", "e\""}));
}

}  // namespace
}  // namespace lumiq::i18n

// Under Wine, in whatever code page the stage runs: the profile's converter
// gives the bytes the window's does, and the profile's files work in folders
// no code page can name.

#include <gtest/gtest.h>

#include <windows.h>

#include <optional>
#include <string>

#include "profile/gbk_text.h"
#include "profile/setting_text.h"
#include "profile/text_file.h"
#include "ui/win32/file_chooser.h"
#include "ui/win32/wide_text.h"

namespace lumiq::ui::win32 {
namespace {

// The window's text goes through the profile's converter, which on Windows
// is the system's code page 936: every code as the system converts it.
TEST(Win32Text, TheWindowConvertsAsCodePage936Does) {
  int disagreements = 0;
  for (int lead = 0x80; lead <= 0xFF && disagreements < 10; ++lead) {
    for (int trail = -1; trail <= 0xFF; ++trail) {
      std::string bytes(1, static_cast<char>(lead));
      if (trail >= 0) bytes += static_cast<char>(trail);
      wchar_t system[4] = {};
      const int units = MultiByteToWideChar(936, MB_ERR_INVALID_CHARS, bytes.data(),
                                            static_cast<int>(bytes.size()), system, 4);
      const std::wstring window = DecodeGbk(bytes);
      const bool windowHasText = window.find(L'\xFFFD') == std::wstring::npos;
      // A lone lead byte is no character, whatever the system makes of it.
      const bool lone = lead >= 0x81 && lead <= 0xFE && trail < 0;
      if (!lone && windowHasText != (units > 0 && system[0] != 0xFFFD)) {
        ADD_FAILURE() << "decoding " << profile::EscapeBytes(bytes);
        ++disagreements;
      } else if (windowHasText && window != std::wstring(system, static_cast<size_t>(units))) {
        ADD_FAILURE() << "decoding " << profile::EscapeBytes(bytes);
        ++disagreements;
      }
    }
  }
  for (unsigned unit = 1; unit <= 0xFFFF && disagreements < 20; ++unit) {
    if ((unit >= 0xD800 && unit <= 0xDFFF) || unit == 0xFFFD) continue;
    const wchar_t text = static_cast<wchar_t>(unit);
    char code[4] = {};
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(936, WC_NO_BEST_FIT_CHARS, &text, 1, code, 4, nullptr, &usedDefault);
    const std::optional<std::string> system =
        length > 0 && !usedDefault ? std::optional<std::string>(std::string(code, length))
                                   : std::nullopt;
    if (EncodeGbk(std::wstring(1, text)) != system) {
      ADD_FAILURE() << "encoding " << profile::DescribeCharacter(unit);
      ++disagreements;
    }
  }
  // The same bytes as on Linux, in any code page.
  EXPECT_EQ(profile::Utf8ToGbk("条€"), std::string("\xCC\xF5\x80"));
  EXPECT_EQ(profile::Utf8ToGbk("ß"), std::nullopt);
  EXPECT_EQ(profile::Utf8ToGbk("\xF0\x9F\x98\x80"), std::nullopt);
  EXPECT_EQ(EncodeGbk(L"\xD83D\xDE00"), std::nullopt);
}

class Win32Paths : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    root_ = std::wstring(temp) + L"lumiq-paths-" + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root_.c_str(), nullptr);
  }
  void TearDown() override {
    for (const std::wstring& folder : folders_) {
      for (const wchar_t* name : {L"\\a.profile", L"\\b.profile"}) {
        DeleteFileW((folder + name).c_str());
      }
      RemoveDirectoryW(folder.c_str());
    }
    RemoveDirectoryW(root_.c_str());
  }
  std::wstring Folder(const std::wstring& name) {
    folders_.push_back(root_ + L"\\" + name);
    CreateDirectoryW(folders_.back().c_str(), nullptr);
    return folders_.back();
  }

  std::wstring root_;
  std::vector<std::wstring> folders_;
};

TEST_F(Win32Paths, ProfilesAreWrittenReadAndReplacedInAnyFolder) {
  // Chinese, Korean and an emoji: never all in one ANSI code page.
  for (const wchar_t* name : {L"\x5F20\x4E09", L"\xD55C\xAD6D", L"\xD83D\xDE00"}) {
    const std::wstring folder = Folder(name);
    const std::string path = WideToUtf8(folder + L"\\a.profile");
    std::string error;
    EXPECT_TRUE(profile::CheckWritableTarget(path, &error)) << error;
    ASSERT_TRUE(profile::WriteFileSafely(path, "codeprefix=条\n", &error)) << error;
    // The file carries the name given, not a '?' or best-fit stand-in.
    EXPECT_NE(GetFileAttributesW((folder + L"\\a.profile").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_TRUE(profile::WriteFileSafely(path, "codeprefix=仓\n", &error)) << error;
    std::string text;
    ASSERT_TRUE(profile::ReadTextFile(path, &text, &error)) << error;
    EXPECT_EQ(text, "codeprefix=仓\n");

    // A failure names the path as the user gave it.
    const std::string missing = WideToUtf8(folder + L"\\b.profile");
    EXPECT_FALSE(profile::ReadTextFile(missing, &text, &error));
    EXPECT_EQ(error.rfind("cannot open " + missing + ":", 0), 0u) << error;
    EXPECT_FALSE(profile::CheckWritableTarget(WideToUtf8(folder), &error));
    EXPECT_NE(error.find(WideToUtf8(folder)), std::string::npos) << error;
  }
  // The runner's files reach the file functions as given.
  const std::optional<app::ChosenFile> given =
      GivenWin32File("\xED\x95\x9C/a.profile").Choose(app::FileChoice::kExport);
  ASSERT_TRUE(given.has_value());
  EXPECT_EQ(given->path, "\xED\x95\x9C/a.profile");
}

}  // namespace
}  // namespace lumiq::ui::win32

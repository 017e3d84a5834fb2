#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/per_user_registry.h"
#include "settings/desktop_locale.h"
#include "settings/language_manager.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

constexpr char16_t kKey[] = u"Software\\TarvoBrowser";

class LanguageManagerTest : public ::testing::Test {
 protected:
  std::string Folder() const { return (dir_.path() / "lang").string() + "/"; }
  void WritePack(const std::string& file, const std::string& text) const { dir_.WriteFile("lang/" + file, text); }
  void WriteStandardPacks() const {
    WritePack("usa.json", R"({"id": "usa", "tab/new": "New tab", "download/total": "Total"})");
    WritePack("china.json", R"({"id": "china", "tab/new": "新标签页"})");
  }
  WString Stored() const { return PerUserRegistry::ReadString(kKey, u"language"); }

  test::TempDir dir_;
  test::ScopedEnv config_{"XDG_CONFIG_HOME", (dir_.path() / "config").string()};
};

// Until the user chooses, the desktop's languages pick the pack (the same tag, else
// the same language), the first pack when none matches, and nothing is stored; the
// user's choice then wins over the desktop.
TEST_F(LanguageManagerTest, WithoutAChoiceTheDesktopsLanguageIsSpokenUntilTheUserChoosesAPack) {
  WriteStandardPacks();
  struct Case {
    std::vector<std::string> desktop;
    const char16_t* current;
    const char* acceptLanguage;
  };
  for (const Case& c : {Case{{}, u"china", "zh-CN,zh;q=0.9"}, Case{{"en-US"}, u"usa", "en-US,en;q=0.9"},
                        Case{{"en-GB"}, u"usa", "en-US,en;q=0.9"}, Case{{"de-DE", "zh-TW", "en"}, u"china", "zh-CN,zh;q=0.9"},
                        Case{{"de-DE"}, u"china", "zh-CN,zh;q=0.9"}}) {
    LanguageManager manager(Folder(), kKey, c.desktop);
    EXPECT_EQ(manager.GetCurrentLanguage(), c.current) << ::testing::PrintToString(c.desktop);
    EXPECT_EQ(manager.GetAcceptLanguage(), c.acceptLanguage);
    EXPECT_EQ(Stored(), u"");
  }
  LanguageManager first(Folder(), kKey, {"en-US"});
  EXPECT_EQ(first.GetText(u"tab/new"), u"New tab");
  EXPECT_EQ(first.GetLocaleTag(), "en-US");
  ASSERT_EQ(first.SetLanguage(u"china"), 0);
  LanguageManager later(Folder(), kKey, {"en-US"});
  EXPECT_EQ(later.GetCurrentLanguage(), u"china");
  EXPECT_EQ(later.GetText(u"tab/new"), u"新标签页");
  EXPECT_EQ(later.GetLanguageCode(), u"zh-cn");
  EXPECT_EQ(later.GetLanguagePicture(u"first_bg.jpg"), u"LangPic/CN/first_bg.jpg");
  // A name of no pack changes nothing.
  EXPECT_EQ(later.SetLanguage(u"CHINA"), -1);
  EXPECT_EQ(later.GetCurrentLanguage(), u"china");
  EXPECT_EQ(Stored(), u"china");
}

TEST_F(LanguageManagerTest, StoredChoiceIsUsedWhenInstalledAndKeptForLaterWhenNot) {
  WriteStandardPacks();
  WritePack("thai.json", R"({"id": "thailand", "tab/new": "แท็บใหม่"})");
  WritePack("ja.json", R"({"id": "japan"})");
  struct Case {
    const char16_t* stored;
    const char16_t* current;
    const char16_t* code;
    const char16_t* picture;  // languages without a picture folder use the English pictures
  };
  for (const Case& c : {Case{u"thailand", u"thailand", u"th", u"LangPic/TH/first_bg.jpg"},
                        Case{u"japan", u"japan", u"ja", u"LangPic/EN/first_bg.jpg"},
                        Case{u"korea", u"china", u"zh-cn", u"LangPic/CN/first_bg.jpg"}}) {
    PerUserRegistry::WriteString(kKey, u"language", c.stored);
    LanguageManager manager(Folder(), kKey);
    EXPECT_EQ(manager.GetCurrentLanguage(), c.current) << WideToUtf8(c.stored);
    EXPECT_EQ(manager.GetLanguageCode(), c.code);
    EXPECT_EQ(manager.GetLanguagePicture(u"first_bg.jpg"), c.picture);
    // A pack that is missing or broken today may be back tomorrow: the choice stays.
    EXPECT_EQ(Stored(), c.stored);
  }
}

TEST_F(LanguageManagerTest, NonStringMembersMissingKeysMissingFoldersAndUnusablePacksGiveNothing) {
  WritePack("usa.json", R"({"id": "usa", "n": 5, "o": {"a": "b"}, "a": ["x"], "z": null, "s": ""})");
  LanguageManager manager(Folder(), kKey);
  for (const char16_t* key : {u"n", u"o", u"a", u"z", u"s", u"missing", u""}) {
    EXPECT_EQ(manager.GetText(key), u"") << WideToUtf8(key);
  }
  LanguageManager none(Folder() + "absent/", kKey);
  EXPECT_TRUE(none.GetLanguageNames().empty());
  EXPECT_EQ(none.GetText(u"tab/new"), u"");
  EXPECT_EQ(none.GetLanguageCode(), u"en");

  // Unusable packs are ignored; comments are allowed.
  std::filesystem::remove(dir_.path() / "lang" / "usa.json");
  WritePack("a_broken.json", R"({"id": "broken", )");
  WritePack("b_numeric_id.json", R"({"id": 7, "k": "v"})");
  WritePack("c_no_id.json", R"({"k": "v"})");
  WritePack("d_array.json", R"(["id", "usa"])");
  WritePack("e_commented.json", "// the English texts\n{\"id\": \"usa\", /* inline */ \"k\": \"v\"}");
  WritePack("nested/deeper/vi.json", R"({"id": "vietnam", "k": "vi"})");
  WritePack(".hidden/ko.json", R"({"id": "korea"})");
  LanguageManager packs(Folder(), kKey);
  EXPECT_EQ(packs.GetLanguageNames(), (std::vector<WString>{u"usa", u"vietnam"}));
  ASSERT_EQ(packs.SetLanguage(u"usa"), 0);
  EXPECT_EQ(packs.GetText(u"k"), u"v");
}

// Readers on other threads see either the old pack or the new one, never a torn one.
TEST_F(LanguageManagerTest, GetTextIsSafeWhileTheLanguageChanges) {
  WriteStandardPacks();
  LanguageManager manager(Folder(), kKey);
  std::atomic<bool> stop = false;
  std::atomic<int> bad = 0;
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) {
    readers.emplace_back([&] {
      while (!stop) {
        const WString text = manager.GetText(u"tab/new");
        bad += text != u"New tab" && text != u"新标签页";
      }
    });
  }
  for (int i = 0; i < 200; ++i) manager.SetLanguage(i % 2 == 0 ? u"usa" : u"china");
  stop = true;
  for (auto& reader : readers) reader.join();
  EXPECT_EQ(bad, 0);
}

// Every JSON case is tried as a pack: none may crash or throw, the accepted objects
// with a string "id" are installed, and each rejected one is ignored.
TEST_F(LanguageManagerTest, JsonParserCasesNeverCrashTheLoader) {
  const std::filesystem::path cases = std::filesystem::path(std::getenv("TARVO_TEST_DATA")) / "json_cases";
  int count = 0;
  for (const auto& entry : std::filesystem::directory_iterator(cases)) {
    if (entry.path().extension() != ".json") continue;
    ++count;
    std::ifstream in(entry.path(), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    test::TempDir packDir;
    packDir.WriteFile("case.json", text.str());
    const std::string name = entry.path().filename().string();
    ASSERT_NO_THROW({
      LanguageManager manager(packDir.path().string(), kKey);
      if (name.starts_with("n_")) {
        EXPECT_TRUE(manager.GetLanguageNames().empty()) << name;
      }
    }) << name;
  }
  EXPECT_GT(count, 40);
}

// LANGUAGE's list first, then the first set of LC_ALL, LC_MESSAGES and LANG, each
// as a tag; "C" and "POSIX" (and LC_ALL=C over a LANG) speak no language.
TEST(DesktopLocaleTest, TheEnvironmentGivesTheDesktopsLanguagesInGettextsOrder) {
  struct Case {
    const char* language;
    const char* lcAll;
    const char* lcMessages;
    const char* lang;
    std::vector<std::string> tags;
  };
  for (const Case& c : {Case{"", "", "", "en_US.UTF-8", {"en-US"}},
                        Case{"zh_CN:en::en_US", "", "", "en_US.UTF-8", {"zh-CN", "en", "en-US"}},
                        Case{"", "", "zh_tw.Big5@traditional", "en_US.UTF-8", {"zh-TW"}},
                        Case{"", "C", "", "zh_CN.UTF-8", {}}, Case{"", "", "", "C.UTF-8", {}},
                        Case{"", "", "", "POSIX", {}}, Case{"", "", "", "es_419.UTF-8", {"es-419"}},
                        Case{"../../x:de", "", "", "", {"de"}}, Case{"", "", "", "", {}}}) {
    EXPECT_EQ(DesktopLocale::FromValues(c.language, c.lcAll, c.lcMessages, c.lang), c.tags)
        << c.language << " | " << c.lcAll << " | " << c.lcMessages << " | " << c.lang;
  }
}

}  // namespace
}  // namespace tarvo

// A language pack as found in the language folder (an installation may carry a
// damaged or foreign one): the manager loads it before a sound pack (which wins a
// shared id), chooses a language and looks texts up, whatever the pack holds.
#include <filesystem>

#include "fuzz_support.h"
#include "settings/language_manager.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    const std::string path = fuzz::ScratchFolder() + "/lang";
    std::filesystem::create_directories(path);
    fuzz::WriteWholeFile(path + "/z_sound.json", R"({"id": "Sound", "common/ok": "OK"})");
    return path;
  }();
  fuzz::WriteWholeFile(folder + "/a_fuzzed.json", fuzz::AsText(data, size));

  LanguageManager manager(folder, u"Software\\TarvoFuzz");
  for (const WString& name : manager.GetLanguageNames()) {
    if (manager.SetLanguage(name) == 0) {
      (void)manager.GetText(u"common/ok");
      (void)manager.GetText(u"id");
      (void)manager.GetLanguageCode();
      (void)manager.GetLanguagePicture(u"logo.png");
    }
  }
  if (manager.SetLanguage(u"Sound") != 0 || manager.GetText(u"common/ok") != u"OK") {
    fuzz::Fail("a damaged pack spoiled the sound one");
  }
  return 0;
}

// The per-user store file (registry.json) as another program or a damaged disk may
// leave it: every read gives a text or nothing, and a value written into it (which
// keeps a malformed file aside) reads back as written.
#include <filesystem>

#include "fuzz_support.h"
#include "platform/paths.h"
#include "platform/per_user_registry.h"
#include "platform/text.h"

using namespace tarvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::ScratchFolder();  // points the configuration folder into the scratch folder
  static const bool folderMade = CreatePrivateFolders(ConfigRoot());
  if (!folderMade) {
    fuzz::Fail("cannot make the configuration folder");
  }
  const std::string path = PerUserRegistry::StorePath();
  fuzz::WriteWholeFile(path, fuzz::AsText(data, size));

  const WString key = u"Software\\TarvoBrowser";
  (void)PerUserRegistry::ReadString(key, u"language");
  (void)PerUserRegistry::ReadString(u"", u"");
  // The written value is a piece of the input, so odd texts get stored too.
  const WString value = Utf8ToWide(fuzz::AsText(data, std::min<size_t>(size, 24)));
  const WString expected = value.substr(0, value.find(u'\0'));
  if (PerUserRegistry::WriteString(key, u"update", value) == 0 &&
      PerUserRegistry::ReadString(key, u"update") != Utf8ToWide(WideToUtf8(expected))) {
    fuzz::Fail("a stored value does not read back");
  }
  std::error_code ignored;
  std::filesystem::remove(path + ".bad", ignored);
  return 0;
}

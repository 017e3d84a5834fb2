// Seed files: the reader loads a valid one or refuses it with a ServiceError, and
// nothing else escapes it.
#include <filesystem>

#include "fuzz_support.h"
#include "service/seed_reader.h"
#include "service/service_error.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string path = [] {
    const std::string folder = tarvo::fuzz::ScratchFolder() + "/seed";
    std::filesystem::create_directories(folder + "/pages");
    tarvo::fuzz::WriteWholeFile(folder + "/pages/home.html", "<p>home</p>");
    return folder + "/seed.json";
  }();
  tarvo::fuzz::WriteWholeFile(path, tarvo::fuzz::AsText(data, size));
  try {
    (void)tarvo::service::ReadSeedFile(path, 1700000000);
  } catch (const tarvo::service::ServiceError&) {
  }
  return 0;
}

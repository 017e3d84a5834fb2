#include "bench/windows/bench_home.h"

#include <stdlib.h>

#include <string>

namespace tarvo::bench {

std::filesystem::path MakeBenchHome(const char* name) {
  std::string pattern = std::string("/tmp/") + name + ".XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) return {};
  const std::filesystem::path root = pattern;
  for (const char* folder : {"data/TarvoBrowser", "config/TarvoBrowser", "cache"}) {
    std::filesystem::create_directories(root / folder);
  }
  setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  setenv("XDG_CACHE_HOME", (root / "cache").c_str(), 1);
  setenv("TARVO_API_URL", "http://127.0.0.1:9/", 1);
  return root;
}

}  // namespace tarvo::bench

// Runs a fuzz target over every file below the folders named on the command line, in
// name order, the way libFuzzer runs one input: the kept corpus as an ordinary test.
// Fails when a folder is missing or empty (a corpus that vanished tests nothing).
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s CORPUS_FOLDER...\n", argv[0]);
    return 2;
  }
  for (int i = 1; i < argc; ++i) {
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator it(argv[i], error), end; !error && it != end;
         it.increment(error)) {
      if (it->is_regular_file()) {
        files.push_back(it->path());
      }
    }
    if (error || files.empty()) {
      std::fprintf(stderr, "%s: no inputs (%s)\n", argv[i], error ? error.message().c_str() : "empty");
      return 1;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
      std::ifstream in(file, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      // A copy of exactly the input's size, so reads past its end are caught like
      // under libFuzzer.
      std::vector<uint8_t> input(bytes.begin(), bytes.end());
      LLVMFuzzerTestOneInput(input.data(), input.size());
    }
    std::printf("%s: %zu inputs replayed\n", argv[i], files.size());
  }
  return 0;
}

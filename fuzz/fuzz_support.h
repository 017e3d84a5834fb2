#pragma once
// Helpers the fuzz targets share. Each target is one LLVMFuzzerTestOneInput: built
// with clang's libFuzzer by `scripts/fuzz`, and with the ordinary compiler into a
// program that replays the kept corpus as a test. Single-threaded, like both drivers.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tarvo::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every `separator` (always at least one part).
std::vector<std::string_view> SplitAt(std::string_view text, char separator);

// A private folder for this process, made on first use and removed at exit; the
// environment's XDG folders point into it so nothing the targets write reaches the
// user's own.
const std::string& ScratchFolder();

// Replaces `path` with `bytes`; aborts when that fails (the target could not run).
void WriteWholeFile(const std::string& path, std::string_view bytes);

// Stops the run as a finding: a property every input must have did not hold.
[[noreturn]] void Fail(const char* what);

}  // namespace tarvo::fuzz

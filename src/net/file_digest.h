#pragma once

#include <string>

namespace tarvo {

// The SHA-256 digest of a file's bytes as 64 lower-case hexadecimal digits, read in
// blocks (a large installer never sits in memory whole); empty when the file cannot
// be read. Blocking; any thread.
std::string FileSha256(const std::string& path);

// True when `text` is a SHA-256 digest as FileSha256 writes it, in either case.
bool IsSha256Text(const std::string& text);

}  // namespace tarvo

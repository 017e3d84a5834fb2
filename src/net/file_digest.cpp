#include "net/file_digest.h"

#include <openssl/evp.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <fstream>
#include <memory>

#include "net/hex_text.h"

namespace tarvo {

std::string FileSha256(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return {};
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (context == nullptr || EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return {};
  std::array<char, 64 * 1024> block{};
  while (file.read(block.data(), block.size()) || file.gcount() > 0) {
    if (EVP_DigestUpdate(context.get(), block.data(), static_cast<size_t>(file.gcount())) != 1) return {};
  }
  if (file.bad()) return {};
  std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1) return {};
  return HexEncode(std::string_view(reinterpret_cast<const char*>(digest.data()), length));
}

bool IsSha256Text(const std::string& text) {
  return text.size() == 64 &&
         std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

}  // namespace tarvo

#include "secure_random.h"

#include <openssl/rand.h>

#include <vector>

#include "service_error.h"

namespace tarvo::service {

std::string RandomHex(size_t byteCount) {
  std::vector<unsigned char> bytes(byteCount);
  if (RAND_bytes(bytes.data(), static_cast<int>(bytes.size())) != 1) {
    throw ServiceError("the random generator failed");
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  text.reserve(byteCount * 2);
  for (const unsigned char byte : bytes) {
    text.push_back(kDigits[byte >> 4]);
    text.push_back(kDigits[byte & 0x0f]);
  }
  return text;
}

}  // namespace tarvo::service

#include "password_hasher.h"

#include <openssl/crypto.h>
#include <openssl/evp.h>

#include <charconv>
#include <optional>
#include <vector>

#include "secure_random.h"
#include "service_error.h"

namespace tarvo::service {

namespace {

constexpr std::string_view kScheme = "pbkdf2-sha256";
constexpr size_t kSaltBytes = 16;
constexpr size_t kHashBytes = 32;

bool DeriveHex(std::string_view password, std::string_view saltHex, int iterations, std::string& hexOut) {
  std::vector<unsigned char> derived(kHashBytes);
  if (PKCS5_PBKDF2_HMAC(password.data(), static_cast<int>(password.size()),
                        reinterpret_cast<const unsigned char*>(saltHex.data()), static_cast<int>(saltHex.size()),
                        iterations, EVP_sha256(), static_cast<int>(derived.size()), derived.data()) != 1) {
    return false;
  }
  static constexpr char kDigits[] = "0123456789abcdef";
  hexOut.clear();
  for (const unsigned char byte : derived) {
    hexOut.push_back(kDigits[byte >> 4]);
    hexOut.push_back(kDigits[byte & 0x0f]);
  }
  return true;
}

// The parts of "pbkdf2-sha256$<iterations>$<salt>$<hash>", or nullopt.
struct RecordParts {
  int iterations = 0;
  std::string_view salt;
  std::string_view hash;
};

std::optional<RecordParts> SplitRecord(std::string_view record) {
  const size_t first = record.find('$');
  const size_t second = first == std::string_view::npos ? first : record.find('$', first + 1);
  const size_t third = second == std::string_view::npos ? second : record.find('$', second + 1);
  if (third == std::string_view::npos || record.substr(0, first) != kScheme) {
    return std::nullopt;
  }
  RecordParts parts;
  const std::string_view count = record.substr(first + 1, second - first - 1);
  const auto parsed = std::from_chars(count.data(), count.data() + count.size(), parts.iterations);
  if (parsed.ec != std::errc() || parsed.ptr != count.data() + count.size() || parts.iterations <= 0) {
    return std::nullopt;
  }
  parts.salt = record.substr(second + 1, third - second - 1);
  parts.hash = record.substr(third + 1);
  return parts;
}

}  // namespace

std::string PasswordHasher::MakeRecord(std::string_view password) const {
  const std::string salt = RandomHex(kSaltBytes);
  std::string hash;
  if (!DeriveHex(password, salt, iterations_, hash)) {
    throw ServiceError("password hashing failed");
  }
  return std::string(kScheme) + "$" + std::to_string(iterations_) + "$" + salt + "$" + hash;
}

bool PasswordHasher::Verify(std::string_view password, std::string_view record) const {
  const auto parts = SplitRecord(record);
  std::string actual;
  if (!parts || !DeriveHex(password, parts->salt, parts->iterations, actual) || actual.size() != parts->hash.size()) {
    return false;
  }
  return CRYPTO_memcmp(actual.data(), parts->hash.data(), actual.size()) == 0;
}

bool PasswordHasher::NeedsUpgrade(std::string_view record) const {
  const auto parts = SplitRecord(record);
  return !parts || parts->iterations < iterations_;
}

}  // namespace tarvo::service

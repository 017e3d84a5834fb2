#pragma once

#include <cstdint>
#include <string>

#include "platform/text.h"

namespace tarvo {

// Encrypts and decrypts the ciphered values the service sends (protected-site
// addresses, VPN node addresses and areas, white-list domains): AES-128-CBC with a
// fixed key and IV, PKCS#7-style padding, base64 without line breaks.
//
// A value object with no mutable state: make one where needed, on any thread.
// Every operation returns 0, or -1 when the cipher cannot be set up (the output is
// then left unchanged). There is no integrity check: foreign or corrupted input
// decrypts to whatever text precedes its first zero byte.
class PayloadCipher {
 public:
  int32_t EncryptText(const std::string& plain, std::string& cipherText) const;
  int32_t DecryptText(const std::string& cipherText, std::string& plain) const;
  int32_t EncryptWide(const WString& plain, WString& cipherText) const;
  int32_t DecryptWide(const WString& cipherText, WString& plain) const;

 private:
  const std::string key_ = "valdrome_pintask";
  const std::string iv_ = "pintask_valdrome";
};

}  // namespace tarvo

// Decryption of the ciphered values the service sends, as text and as wide text, and
// the round trip: a text without a zero byte decrypts to itself.
#include "fuzz_support.h"
#include "net/payload_cipher.h"
#include "platform/text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string input(tarvo::fuzz::AsText(data, size));
  const tarvo::PayloadCipher cipher;
  std::string plain;
  (void)cipher.DecryptText(input, plain);
  tarvo::WString widePlain;
  (void)cipher.DecryptWide(tarvo::Utf8ToWide(input), widePlain);

  if (input.find('\0') == std::string::npos) {
    std::string cipherText;
    std::string back;
    if (cipher.EncryptText(input, cipherText) == 0 && cipher.DecryptText(cipherText, back) == 0 && back != input) {
      tarvo::fuzz::Fail("a text did not decrypt to itself");
    }
  }
  return 0;
}

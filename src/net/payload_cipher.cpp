#include "net/payload_cipher.h"

#include <openssl/evp.h>

#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace tarvo {

namespace {

constexpr size_t kBlock = 16;

struct CipherContextDeleter {
  void operator()(EVP_CIPHER_CTX* context) const { EVP_CIPHER_CTX_free(context); }
};
using CipherContext = std::unique_ptr<EVP_CIPHER_CTX, CipherContextDeleter>;

struct EncodeContextDeleter {
  void operator()(EVP_ENCODE_CTX* context) const { EVP_ENCODE_CTX_free(context); }
};

// Runs AES-128-CBC over whole blocks with padding switched off: the padding is our
// own (added always on encryption, removed leniently on decryption).
bool RunCbc(bool encrypt, const std::string& key, const std::string& iv, const unsigned char* in, size_t length,
            std::vector<unsigned char>& out) {
  CipherContext context(EVP_CIPHER_CTX_new());
  if (!context) {
    return false;
  }
  std::array<unsigned char, kBlock> ivCopy{};
  std::memcpy(ivCopy.data(), iv.data(), kBlock);
  const auto* keyBytes = reinterpret_cast<const unsigned char*>(key.data());
  if (EVP_CipherInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, keyBytes, ivCopy.data(), encrypt ? 1 : 0) != 1 ||
      EVP_CIPHER_CTX_set_padding(context.get(), 0) != 1) {
    return false;
  }
  out.assign(length + kBlock, 0);
  int written = 0;
  int finalWritten = 0;
  if (EVP_CipherUpdate(context.get(), out.data(), &written, in, static_cast<int>(length)) != 1 ||
      EVP_CipherFinal_ex(context.get(), out.data() + written, &finalWritten) != 1) {
    return false;
  }
  out.resize(static_cast<size_t>(written + finalWritten));
  return true;
}

std::string EncodeBase64(const std::vector<unsigned char>& bytes) {
  // EVP_EncodeBlock writes unbroken base64 plus a terminating zero.
  std::string out(4 * ((bytes.size() + 2) / 3) + 1, '\0');
  const int length =
      EVP_EncodeBlock(reinterpret_cast<unsigned char*>(out.data()), bytes.data(), static_cast<int>(bytes.size()));
  out.resize(static_cast<size_t>(length));
  return out;
}

// Decodes as much valid base64 as the text holds; malformed input gives a shorter or
// empty result, never an error.
std::vector<unsigned char> DecodeBase64(const std::string& text) {
  std::unique_ptr<EVP_ENCODE_CTX, EncodeContextDeleter> context(EVP_ENCODE_CTX_new());
  std::vector<unsigned char> out(text.size() + 3, 0);
  if (!context || text.empty()) {
    return {};
  }
  EVP_DecodeInit(context.get());
  int written = 0;
  int finalWritten = 0;
  const int status = EVP_DecodeUpdate(context.get(), out.data(), &written,
                                      reinterpret_cast<const unsigned char*>(text.data()), static_cast<int>(text.size()));
  if (status < 0) {
    // The decoder keeps what it had finished before the bad character.
    out.resize(static_cast<size_t>(written > 0 ? written : 0));
    return out;
  }
  EVP_DecodeFinal(context.get(), out.data() + written, &finalWritten);
  out.resize(static_cast<size_t>(written + (finalWritten > 0 ? finalWritten : 0)));
  return out;
}

}  // namespace

int32_t PayloadCipher::EncryptText(const std::string& plain, std::string& cipherText) const {
  const size_t padded = (plain.size() / kBlock) * kBlock + kBlock;
  std::vector<unsigned char> buffer(padded, static_cast<unsigned char>(kBlock - plain.size() % kBlock));
  std::memcpy(buffer.data(), plain.data(), plain.size());
  std::vector<unsigned char> encrypted;
  if (!RunCbc(true, key_, iv_, buffer.data(), buffer.size(), encrypted)) {
    return -1;
  }
  cipherText = EncodeBase64(encrypted);
  return 0;
}

int32_t PayloadCipher::DecryptText(const std::string& cipherText, std::string& plain) const {
  std::vector<unsigned char> bytes = DecodeBase64(cipherText);
  // A length that is not whole blocks cannot come from our encryption; such input
  // reads as the empty text rather than as bytes decrypted past the data.
  if (bytes.empty() || bytes.size() % kBlock != 0) {
    plain.clear();
    return 0;
  }
  std::vector<unsigned char> decrypted;
  if (!RunCbc(false, key_, iv_, bytes.data(), bytes.size(), decrypted)) {
    return -1;
  }
  size_t length = decrypted.size();
  const unsigned char pad = decrypted[length - 1];
  if (pad != 0 && pad <= kBlock && pad <= length && decrypted[length - pad] == pad) {
    length -= pad;
  }
  const auto* begin = reinterpret_cast<const char*>(decrypted.data());
  plain.assign(begin, strnlen(begin, length));
  return 0;
}

int32_t PayloadCipher::EncryptWide(const WString& plain, WString& cipherText) const {
  std::string out;
  const int32_t status = EncryptText(WideToUtf8(plain), out);
  if (status == 0) {
    cipherText = Utf8ToWide(out);
  }
  return status;
}

int32_t PayloadCipher::DecryptWide(const WString& cipherText, WString& plain) const {
  std::string out;
  const int32_t status = DecryptText(WideToUtf8(cipherText), out);
  if (status == 0) {
    plain = Utf8ToWide(out);
  }
  return status;
}

}  // namespace tarvo

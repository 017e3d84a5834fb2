#include "net/signing_key.h"

#include <fcntl.h>
#include <openssl/pem.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <memory>

#include "net/hex_text.h"

namespace tarvo {

namespace {

struct FileCloser {
  void operator()(FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<FILE, FileCloser>;

}  // namespace

std::optional<SigningKey> SigningKey::Generate() {
  EvpKeyHandle key(EVP_PKEY_Q_keygen(nullptr, nullptr, "ED25519"));
  if (!key) return std::nullopt;
  return SigningKey(std::move(key));
}

std::optional<SigningKey> SigningKey::Load(const std::string& path, std::string& error) {
  const FileHandle file(std::fopen(path.c_str(), "re"));
  if (!file) {
    error = "cannot read the signing key " + path;
    return std::nullopt;
  }
  EvpKeyHandle key(PEM_read_PrivateKey(file.get(), nullptr, nullptr, nullptr));
  if (!key || EVP_PKEY_get_id(key.get()) != EVP_PKEY_ED25519) {
    error = path + " holds no Ed25519 private key in PEM form";
    return std::nullopt;
  }
  return SigningKey(std::move(key));
}

bool SigningKey::Save(const std::string& path, std::string& error) const {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
  if (fd < 0) {
    error = "cannot create " + path + " (it may exist already)";
    return false;
  }
  FileHandle file(::fdopen(fd, "w"));
  if (!file) {
    ::close(fd);
    error = "cannot write " + path;
    return false;
  }
  const bool written = PEM_write_PrivateKey(file.get(), key_.get(), nullptr, nullptr, 0, nullptr, nullptr) == 1;
  const bool closed = std::fclose(file.release()) == 0;
  if (!written || !closed) {
    ::unlink(path.c_str());
    error = "cannot write " + path;
    return false;
  }
  return true;
}

std::string SigningKey::Sign(std::string_view message) const {
  // Ed25519 hashes the message itself: no digest is named.
  const EvpDigestContext context(EVP_MD_CTX_new());
  std::array<unsigned char, 64> signature{};
  size_t length = signature.size();
  if (!context || EVP_DigestSignInit(context.get(), nullptr, nullptr, nullptr, key_.get()) != 1 ||
      EVP_DigestSign(context.get(), signature.data(), &length, reinterpret_cast<const unsigned char*>(message.data()),
                     message.size()) != 1) {
    return {};
  }
  return HexEncode(std::string_view(reinterpret_cast<const char*>(signature.data()), length));
}

std::string SigningKey::PublicKeyHex() const {
  std::array<unsigned char, 32> raw{};
  size_t length = raw.size();
  if (EVP_PKEY_get_raw_public_key(key_.get(), raw.data(), &length) != 1) return {};
  return HexEncode(std::string_view(reinterpret_cast<const char*>(raw.data()), length));
}

}  // namespace tarvo

#include "ticket_keys.h"

#include <openssl/core_names.h>
#include <openssl/crypto.h>
#include <openssl/params.h>
#include <openssl/rand.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>

#include "service_error.h"

namespace tarvo::service {

namespace {

bool SameTime(const std::timespec& a, const std::timespec& b) { return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec; }

}  // namespace

TicketKeys::TicketKeys() : renewed_(Clock::now()) {
  keys_.resize(1);
  if (RAND_bytes(reinterpret_cast<unsigned char*>(keys_.data()), sizeof(Key)) != 1) {
    throw ServiceError("cannot make TLS ticket keys: the system's random generator failed");
  }
}

TicketKeys::TicketKeys(std::string path) : path_(std::move(path)), renewed_(Clock::now()) {
  keys_ = ReadKeys(path_, fileChanged_);
  if (keys_.empty()) {
    throw ServiceError("cannot use the TLS ticket keys in " + path_ + ": give a readable file of whole " +
                       std::to_string(kKeyBytes) + "-byte keys (openssl rand " + std::to_string(kKeyBytes) + ")");
  }
}

TicketKeys::~TicketKeys() { Forget(keys_); }

void TicketKeys::Forget(std::vector<Key>& keys) {
  OPENSSL_cleanse(keys.data(), keys.size() * sizeof(Key));
  keys.clear();
}

std::vector<TicketKeys::Key> TicketKeys::ReadKeys(const std::string& path, std::timespec& changed) {
  static_assert(sizeof(Key) == kKeyBytes);
  struct stat status {};
  std::ifstream file(path, std::ios::binary);
  if (!file || ::stat(path.c_str(), &status) != 0) {
    return {};
  }
  changed = status.st_mtim;
  std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
  std::vector<Key> keys;
  // An empty file holds no keys (and an empty vector no memory to copy into).
  if (!bytes.empty() && bytes.size() % kKeyBytes == 0) {
    keys.resize(bytes.size() / kKeyBytes);
    std::memcpy(keys.data(), bytes.data(), bytes.size());
  }
  OPENSSL_cleanse(bytes.data(), bytes.size());
  return keys;
}

void TicketKeys::Install(SSL_CTX* context) {
  SSL_CTX_set_app_data(context, this);
  SSL_CTX_set_tlsext_ticket_key_evp_cb(
      context, +[](SSL* ssl, unsigned char* name, unsigned char* iv, EVP_CIPHER_CTX* cipher, EVP_MAC_CTX* mac,
                   int sealing) {
        auto* keys = static_cast<TicketKeys*>(SSL_CTX_get_app_data(SSL_get_SSL_CTX(ssl)));
        return sealing ? keys->Seal(name, iv, cipher, mac) : keys->Open(name, iv, cipher, mac);
      });
}

void TicketKeys::Renew() {
  std::lock_guard lock(mutex_);
  renewed_ = Clock::now();
  if (path_.empty()) {
    Key fresh{};
    if (RAND_bytes(reinterpret_cast<unsigned char*>(&fresh), sizeof(fresh)) != 1) {
      return;  // the key of the period before seals on; the next turn tries again
    }
    std::vector<Key> old(keys_.begin() + 1, keys_.end());
    keys_.resize(1);
    keys_.insert(keys_.begin(), fresh);
    Forget(old);
    OPENSSL_cleanse(&fresh, sizeof(fresh));
    return;
  }
  struct stat status {};
  if (::stat(path_.c_str(), &status) != 0 || SameTime(status.st_mtim, fileChanged_)) {
    return;
  }
  std::timespec changed{};
  std::vector<Key> read = ReadKeys(path_, changed);
  if (read.empty()) {
    // Half written, perhaps: the keys read before serve on until it is whole.
    std::cerr << "tarvo-service: " << path_ << " holds no whole TLS ticket keys now; the earlier ones stay"
              << std::endl;
    return;
  }
  Forget(keys_);
  keys_ = std::move(read);
  fileChanged_ = changed;
}

bool TicketKeys::SetUp(const Key& key, const unsigned char iv[16], EVP_CIPHER_CTX* cipher, EVP_MAC_CTX* mac,
                       bool sealing) {
  OSSL_PARAM params[] = {
      OSSL_PARAM_construct_octet_string(OSSL_MAC_PARAM_KEY, const_cast<unsigned char*>(key.hmac.data()),
                                        key.hmac.size()),
      OSSL_PARAM_construct_utf8_string(OSSL_MAC_PARAM_DIGEST, const_cast<char*>("SHA256"), 0),
      OSSL_PARAM_construct_end()};
  const int ready = sealing ? EVP_EncryptInit_ex(cipher, EVP_aes_256_cbc(), nullptr, key.aes.data(), iv)
                            : EVP_DecryptInit_ex(cipher, EVP_aes_256_cbc(), nullptr, key.aes.data(), iv);
  return ready == 1 && EVP_MAC_CTX_set_params(mac, params) == 1;
}

int TicketKeys::Seal(unsigned char name[16], unsigned char iv[16], EVP_CIPHER_CTX* cipher, EVP_MAC_CTX* mac) {
  bool due = false;
  {
    std::lock_guard lock(mutex_);
    due = Clock::now() - renewed_ >= (path_.empty() ? std::chrono::duration_cast<Clock::duration>(kPeriod)
                                                     : std::chrono::duration_cast<Clock::duration>(kRecheck));
  }
  if (due) {
    Renew();
  }
  std::lock_guard lock(mutex_);
  const Key& key = keys_.front();
  if (RAND_bytes(iv, EVP_MAX_IV_LENGTH) != 1 || !SetUp(key, iv, cipher, mac, true)) {
    return -1;
  }
  std::memcpy(name, key.name.data(), key.name.size());
  return 1;
}

int TicketKeys::Open(const unsigned char name[16], const unsigned char iv[16], EVP_CIPHER_CTX* cipher,
                     EVP_MAC_CTX* mac) {
  std::lock_guard lock(mutex_);
  for (size_t i = 0; i < keys_.size(); ++i) {
    if (std::memcmp(keys_[i].name.data(), name, keys_[i].name.size()) == 0) {
      // Always a fresh ticket in return, whichever key opened this one: a client then
      // never shows the same ticket twice (which would link its connections), and
      // TLS 1.3 sends a ticket after a resumed handshake only when asked to, a
      // ticket whose segment also acknowledges the client's Finished at once (a
      // client that holds its request back until then would otherwise wait for the
      // delayed acknowledgement).
      return SetUp(keys_[i], iv, cipher, mac, false) ? 2 : -1;
    }
  }
  return 0;
}

}  // namespace tarvo::service

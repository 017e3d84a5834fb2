#pragma once

#include <openssl/evp.h>
#include <openssl/ssl.h>

#include <array>
#include <chrono>
#include <ctime>
#include <mutex>
#include <string>
#include <vector>

namespace tarvo::service {

// The keys that seal the front's TLS session tickets, so a client resumes its
// session on a new connection without a full handshake. They live in memory only.
// Either the service's own: made at start and renewed every kPeriod, the key before
// still opening tickets, so a ticket outlives its key by one period at most and no
// key lives longer than two; every ticket opened is answered with a fresh one. Or read from a file that several
// processes behind one balancer share (so a ticket from one resumes on another):
// whoever runs them writes it (on memory-backed storage) and renews it, the service
// reads it again within kRecheck of a change; 80 bytes a key (`openssl rand 80`: a
// 16-byte name, a 32-byte HMAC-SHA256 key, a 32-byte AES-256 key), the first key
// sealing, every key opening.
//
// Threads: any; the keys are guarded by `mutex_` (OpenSSL calls Seal and Open on
// whichever thread runs a handshake).
class TicketKeys {
 public:
  static constexpr size_t kKeyBytes = 80;
  static constexpr std::chrono::hours kPeriod{1};
  static constexpr std::chrono::seconds kRecheck{10};

  // Keys of its own.
  TicketKeys();
  // Keys read from `path`; throws ServiceError naming the file when it cannot be
  // read or holds no whole keys.
  explicit TicketKeys(std::string path);
  ~TicketKeys();
  TicketKeys(const TicketKeys&) = delete;
  TicketKeys& operator=(const TicketKeys&) = delete;

  // Makes `context` seal and open its tickets with these keys; the keys must
  // outlive the context.
  void Install(SSL_CTX* context);

  // Starts a new period of the service's own keys (a fresh key seals, the last one
  // still opens, older ones are forgotten); with keys from a file, reads it again
  // when it changed. Called by Seal as time passes.
  void Renew();

  // OpenSSL's ticket key callback, split: Seal names the key and sets up the cipher
  // and MAC for a new ticket (1; -1 on failure); Open finds the ticket's key (0 when
  // none has its name: a full handshake follows) and sets them up (2: the session
  // resumes and the client gets a fresh ticket; -1 on failure).
  int Seal(unsigned char name[16], unsigned char iv[16], EVP_CIPHER_CTX* cipher, EVP_MAC_CTX* mac);
  int Open(const unsigned char name[16], const unsigned char iv[16], EVP_CIPHER_CTX* cipher, EVP_MAC_CTX* mac);

 private:
  using Clock = std::chrono::steady_clock;
  struct Key {
    std::array<unsigned char, 16> name;
    std::array<unsigned char, 32> hmac;
    std::array<unsigned char, 32> aes;
  };

  // The keys in `path` (empty when the file is unreadable or holds no whole key),
  // and its change time.
  static std::vector<Key> ReadKeys(const std::string& path, std::timespec& changed);
  static bool SetUp(const Key& key, const unsigned char iv[16], EVP_CIPHER_CTX* cipher, EVP_MAC_CTX* mac,
                    bool sealing);
  void Forget(std::vector<Key>& keys);

  const std::string path_;  // empty: keys of its own
  std::mutex mutex_;
  std::vector<Key> keys_;            // guarded by mutex_; the first seals
  Clock::time_point renewed_;        // guarded by mutex_
  std::timespec fileChanged_{};      // guarded by mutex_
};

}  // namespace tarvo::service

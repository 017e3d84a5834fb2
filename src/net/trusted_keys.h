#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "net/evp_key_handle.h"

namespace tarvo {

// The brand's Ed25519 public keys the browser trusts for signed statements. A short
// list rather than one key, so a deployment can rotate: browsers built with the old
// and the new key accept both while the service moves from one to the other.
//
// Immutable after construction; Verifies may be called from any thread.
class TrustedKeys {
 public:
  // Keys written as 64 hexadecimal digits each, separated by commas or blanks.
  // Entries that are no such key are left out and counted in `rejected()`.
  static TrustedKeys Parse(std::string_view list);
  // The list in the settings registry ("app/service_keys").
  static TrustedKeys OfThisBrowser();

  // True when one of the keys made `signatureHex` (128 hexadecimal digits) over
  // exactly these `message` bytes. False for an empty or malformed signature.
  bool Verifies(std::string_view message, std::string_view signatureHex) const;

  bool empty() const { return keys_.empty(); }
  size_t size() const { return keys_.size(); }
  size_t rejected() const { return rejected_; }

 private:
  std::vector<EvpKeyHandle> keys_;
  size_t rejected_ = 0;
};

}  // namespace tarvo

#pragma once

#include <openssl/evp.h>

#include <memory>

namespace tarvo {

// Owners of OpenSSL's key and signing-context handles.
struct EvpKeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
  void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
};
using EvpKeyHandle = std::unique_ptr<EVP_PKEY, EvpKeyDeleter>;
using EvpDigestContext = std::unique_ptr<EVP_MD_CTX, EvpKeyDeleter>;

}  // namespace tarvo

#include "client_cipher.h"

#include "net/payload_cipher.h"
#include "service_error.h"

namespace tarvo::service {

std::string CipherForClient(std::string_view plain) {
  std::string cipherText;
  if (PayloadCipher().EncryptText(std::string(plain), cipherText) != 0) {
    throw ServiceError("the payload cipher cannot be set up");
  }
  return cipherText;
}

}  // namespace tarvo::service

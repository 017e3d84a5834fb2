#pragma once

#include <cstddef>
#include <string>

namespace tarvo::service {

// `byteCount` bytes from the operating system's cryptographic generator, as lower-case
// hex text (twice as many characters). Throws ServiceError when the generator fails.
// Any thread.
std::string RandomHex(size_t byteCount);

}  // namespace tarvo::service

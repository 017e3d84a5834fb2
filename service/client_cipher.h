#pragma once

#include <string>
#include <string_view>

namespace tarvo::service {

// `plain` ciphered with the browser's payload cipher, so browsers decipher node
// addresses, areas, white-list domains and protected-site addresses exactly as they
// were seeded. Throws ServiceError in the (impossible with a fixed key) case that the
// cipher cannot be set up. Any thread.
std::string CipherForClient(std::string_view plain);

}  // namespace tarvo::service

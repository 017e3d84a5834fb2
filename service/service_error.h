#pragma once

#include <stdexcept>
#include <string>

namespace tarvo::service {

// Thrown by the storage and seed layers when an operation cannot be completed; the
// request dispatcher turns it into a reply with code 500 (or the seed loader into a
// refused seed), so it never leaves the service.
class ServiceError : public std::runtime_error {
 public:
  explicit ServiceError(const std::string& what) : std::runtime_error(what) {}
};

}  // namespace tarvo::service

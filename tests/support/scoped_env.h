#pragma once

#include <optional>
#include <string>

namespace tarvo::test {

// Sets (or, with nullopt, unsets) one environment variable for the object's lifetime
// and restores the previous state afterwards.
class ScopedEnv {
 public:
  ScopedEnv(std::string name, std::optional<std::string> value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

}  // namespace tarvo::test

#include "support/scoped_env.h"

#include <cstdlib>

namespace tarvo::test {

namespace {
void Apply(const std::string& name, const std::optional<std::string>& value) {
  value ? setenv(name.c_str(), value->c_str(), 1) : unsetenv(name.c_str());
}
}  // namespace

ScopedEnv::ScopedEnv(std::string name, std::optional<std::string> value) : name_(std::move(name)) {
  if (const char* old = std::getenv(name_.c_str())) previous_ = old;
  Apply(name_, value);
}

ScopedEnv::~ScopedEnv() { Apply(name_, previous_); }

}  // namespace tarvo::test

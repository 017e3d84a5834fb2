#pragma once

#include <span>
#include <string>
#include <string_view>
#include <unordered_set>

#include "url/public_suffix_data.h"

namespace tarvo {

// Reduces a host to its registrable domain with the browser's own rule: the rules
// are compared literally (a wildcard or exception rule never matches a real host),
// the longest matching rule wins, a match needs at least one more label in front,
// and a host that matches nothing (or is itself a suffix) is returned whole.
//
// Threads: immutable after construction; Instance() is safe to use from any thread.
class PublicSuffixTable {
 public:
  // The table over the generated rules, built on first use and never destroyed.
  // Process-wide by design: fixed data, the same for everyone.
  static const PublicSuffixTable& Instance();

  // A table over `entries`, which must outlive it and be ordered longest first.
  explicit PublicSuffixTable(std::span<const PublicSuffixEntry> entries);

  // The registrable domain of a UTF-8 host: one hash lookup per label boundary,
  // tried from the left, so the first hit is the longest matching rule.
  std::string RegistrableDomain(std::string_view host) const;

  // The same result found by walking every rule, longest first: the reference the
  // hash lookup must agree with (tests and benchmarks).
  std::string RegistrableDomainByLinearWalk(std::string_view host) const;

  // The rules in stored order (longest first) and their number.
  size_t size() const { return entries_.size(); }
  std::span<const PublicSuffixEntry> entries() const { return entries_; }

 private:
  std::span<const PublicSuffixEntry> entries_;
  std::unordered_set<std::string_view> rules_;
};

}  // namespace tarvo

#include "url/public_suffix_table.h"

namespace tarvo {

namespace {

// Given the "." that precedes a matched suffix, the registrable domain is the one
// label before it plus the suffix, or the whole host when no "." precedes that label.
std::string DomainAroundSuffixDot(std::string_view host, size_t suffixDot) {
  const size_t labelDot = host.rfind('.', suffixDot - 1);
  return std::string(labelDot == std::string_view::npos ? host : host.substr(labelDot + 1));
}

}  // namespace

const PublicSuffixTable& PublicSuffixTable::Instance() {
  static const PublicSuffixTable* table =
      new PublicSuffixTable(std::span<const PublicSuffixEntry>(kPublicSuffixes, kPublicSuffixCount));
  return *table;
}

PublicSuffixTable::PublicSuffixTable(std::span<const PublicSuffixEntry> entries) : entries_(entries) {
  rules_.reserve(entries.size());
  for (const PublicSuffixEntry& entry : entries) {
    rules_.emplace(entry.text, entry.length);
  }
}

std::string PublicSuffixTable::RegistrableDomain(std::string_view host) const {
  // A dot at position 0 cannot start a match: a rule needs a byte and a "." before it.
  for (size_t dot = host.find('.', 1); dot != std::string_view::npos; dot = host.find('.', dot + 1)) {
    if (rules_.contains(host.substr(dot + 1))) {
      return DomainAroundSuffixDot(host, dot);
    }
  }
  return std::string(host);
}

std::string PublicSuffixTable::RegistrableDomainByLinearWalk(std::string_view host) const {
  const size_t n = host.size();
  for (const PublicSuffixEntry& entry : entries_) {
    const size_t m = entry.length;
    if (n >= m + 2 && host.substr(n - m) == std::string_view(entry.text, m) && host[n - m - 1] == '.') {
      return DomainAroundSuffixDot(host, n - m - 1);
    }
  }
  return std::string(host);
}

}  // namespace tarvo

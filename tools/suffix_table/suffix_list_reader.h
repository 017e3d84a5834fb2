#pragma once

#include <istream>
#include <string>
#include <vector>

namespace tarvo {

// Reads the rules of a Public Suffix List file ("public_suffix_list.dat").
//
// Both sections (ICANN and private) are kept. A rule is the first whitespace-free
// token of a line that is neither blank nor a "//" comment; wildcard ("*.") and
// exception ("!") rules are kept as the plain text they are written in, since the
// browser compares every rule literally. Not thread-aware: one reader per thread.
class SuffixListReader {
 public:
  // Reads every rule of `in` in file order. Duplicates are dropped (the first one
  // stays). Returns false, with a message in `error`, when the stream reports a
  // read error or holds no rule at all.
  bool Read(std::istream& in, std::string& error);

  // The rules ordered by decreasing byte length; rules of equal length keep file
  // order, so the table is the same on every build of the same list.
  std::vector<std::string> RulesLongestFirst() const;

  // The rules in file order.
  const std::vector<std::string>& rules() const { return rules_; }

 private:
  std::vector<std::string> rules_;
};

}  // namespace tarvo

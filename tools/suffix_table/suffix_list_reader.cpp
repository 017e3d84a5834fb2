#include "suffix_list_reader.h"

#include <algorithm>
#include <unordered_set>

namespace tarvo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f'; }

// The rule a line carries, or the empty string for blank and comment lines.
std::string RuleOfLine(const std::string& line) {
  size_t begin = 0;
  while (begin < line.size() && IsBlank(line[begin])) {
    ++begin;
  }
  if (line.compare(begin, 2, "//") == 0) {
    return {};
  }
  size_t end = begin;
  while (end < line.size() && !IsBlank(line[end])) {
    ++end;
  }
  return line.substr(begin, end - begin);
}

}  // namespace

bool SuffixListReader::Read(std::istream& in, std::string& error) {
  rules_.clear();
  std::unordered_set<std::string> seen;
  std::string line;
  while (std::getline(in, line)) {
    std::string rule = RuleOfLine(line);
    if (!rule.empty() && seen.insert(rule).second) {
      rules_.push_back(std::move(rule));
    }
  }
  if (in.bad()) {
    error = "read error in the public suffix list";
    return false;
  }
  if (rules_.empty()) {
    error = "the public suffix list holds no rule";
    return false;
  }
  return true;
}

std::vector<std::string> SuffixListReader::RulesLongestFirst() const {
  std::vector<std::string> sorted = rules_;
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return sorted;
}

}  // namespace tarvo

#include "net/http_header.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstring>

namespace tarvo {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
    text.remove_prefix(1);
  }
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r')) {
    text.remove_suffix(1);
  }
  return text;
}

std::optional<uint64_t> ParseLength(std::string_view text) {
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

bool CHttpHeader::Parse(std::string_view head) {
  *this = CHttpHeader();
  // A NUL byte would cut the line short for any reader that treats it as C text and
  // so let two readers see different fields.
  if (head.find('\0') != std::string_view::npos) {
    return false;
  }
  const size_t lineEnd = head.find("\r\n");
  const std::string_view statusLine = head.substr(0, lineEnd);
  if (statusLine.size() < 12 || !(statusLine.starts_with("HTTP/1.1 ") || statusLine.starts_with("HTTP/1.0 "))) {
    return false;
  }
  std::memcpy(protocol_, statusLine.data(), 8);
  const std::string_view code = statusLine.substr(9, 3);
  const auto [end, error] = std::from_chars(code.data(), code.data() + code.size(), status_);
  if (error != std::errc() || end != code.data() + 3 || status_ < 100) {
    return false;
  }
  if (statusLine.size() > 12) {
    if (statusLine[12] != ' ') {
      return false;
    }
    reason_ = statusLine.substr(13);
  }

  std::string_view rest = lineEnd == std::string_view::npos ? std::string_view() : head.substr(lineEnd + 2);
  while (!rest.empty()) {
    const size_t next = rest.find("\r\n");
    const std::string_view line = rest.substr(0, next);
    rest = next == std::string_view::npos ? std::string_view() : rest.substr(next + 2);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      continue;
    }
    const std::string_view name = line.substr(0, colon);
    const std::string_view value = Trim(line.substr(colon + 1));
    if (EqualsIgnoringCase(name, "Content-Length")) {
      const std::optional<uint64_t> length = ParseLength(value);
      if (!length || (contentLength_ && *contentLength_ != *length)) {
        return false;
      }
      contentLength_ = length;
    }
    fields_[std::string(name)] = std::string(value);
  }
  return true;
}

std::string CHttpHeader::Field(std::string_view name) const {
  for (const auto& [key, value] : fields_) {
    if (EqualsIgnoringCase(key, name)) {
      return value;
    }
  }
  return {};
}

bool CHttpHeader::chunked() const {
  std::string coding = Field("Transfer-Encoding");
  std::transform(coding.begin(), coding.end(), coding.begin(),
                 [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
  return coding.find("chunked") != std::string::npos;
}

}  // namespace tarvo

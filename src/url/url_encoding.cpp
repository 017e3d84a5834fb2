#include "url/url_encoding.h"

#include <algorithm>

#include "platform/paths.h"

namespace tarvo {

namespace {

bool IsKeptByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ':' || c == '/' ||
         c == '.' || c == '(' || c == ')' || c == '_';
}

}  // namespace

std::string PercentEncodeUtf8(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (const unsigned char c : bytes) {
    if (IsKeptByte(c)) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0F];
    }
  }
  return out;
}

WString HomePageUrlForFolder(std::string_view folder) {
  std::string path = std::string(folder) + "home.html";
  std::replace(path.begin(), path.end(), '\\', '/');
  // A Windows folder starts with its drive letter; an absolute Linux one starts with
  // "/", which "file:///" already supplies.
  const size_t start = path.find_first_not_of('/');
  return Utf8ToWide(PercentEncodeUtf8("file:///" + path.substr(start == std::string::npos ? path.size() : start)));
}

WString GetHomePageUrl() { return HomePageUrlForFolder(ExecutableFolder()); }

}  // namespace tarvo

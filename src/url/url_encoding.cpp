#include "url/url_encoding.h"

#include <algorithm>

#include "platform/paths.h"

namespace tarvo {

namespace {

bool IsKeptByte(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == ':' || c == '/' ||
         c == '.' || c == '(' || c == ')' || c == '_';
}

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// The address without its query and fragment, every "%XX" turned into its byte.
std::string DecodedBase(WStringView url) {
  const std::string text = WideToUtf8(url.substr(0, std::min(url.find(u'?'), url.find(u'#'))));
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && HexValue(text[i + 1]) >= 0 && HexValue(text[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(text[i + 1]) * 16 + HexValue(text[i + 2]));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
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

bool IsStartPageUrl(WStringView url, WStringView startPage) {
  return !url.empty() && !startPage.empty() && DecodedBase(url) == DecodedBase(startPage);
}

}  // namespace tarvo

#include "net/http_url.h"

#include <charconv>

namespace tarvo {

namespace {

constexpr std::string_view kHttp = "http://";
constexpr std::string_view kHttps = "https://";

bool IsForbiddenHostChar(unsigned char c) {
  return c <= 0x20 || c == 0x7f || c == '@' || c == '\\' || c == '"' || c == '<' || c == '>';
}

// Bytes that may not appear raw in a request line.
bool NeedsEncoding(unsigned char c) {
  return c <= 0x20 || c >= 0x7f || c == '"' || c == '<' || c == '>';
}

std::string EncodePath(std::string_view raw) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string out;
  out.reserve(raw.size());
  for (const char ch : raw) {
    const auto c = static_cast<unsigned char>(ch);
    if (NeedsEncoding(c)) {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 0x0f];
    } else {
      out += ch;
    }
  }
  return out;
}

std::optional<uint16_t> ParsePort(std::string_view text, uint16_t fallback) {
  if (text.empty()) {
    return fallback;
  }
  unsigned value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535) {
    return std::nullopt;
  }
  return static_cast<uint16_t>(value);
}

}  // namespace

std::optional<HttpUrl> HttpUrl::Parse(WStringView url) { return Parse(WideToUtf8(url)); }

std::optional<HttpUrl> HttpUrl::Parse(std::string_view text) {
  HttpUrl result;
  const size_t plain = text.find(kHttp);
  const size_t secure = text.find(kHttps);
  if (secure != std::string_view::npos && (plain == std::string_view::npos || secure < plain)) {
    result.secure_ = true;
    text.remove_prefix(secure + kHttps.size());
  } else if (plain != std::string_view::npos) {
    text.remove_prefix(plain + kHttp.size());
  }
  const size_t hostEnd = text.find_first_of("/?#");
  std::string_view hostPart = text.substr(0, hostEnd);
  std::string_view rest = hostEnd == std::string_view::npos ? std::string_view() : text.substr(hostEnd);
  rest = rest.substr(0, rest.find('#'));

  std::string_view portText;
  if (!hostPart.empty() && hostPart.front() == '[') {
    // A bracketed IPv6 literal carries colons of its own.
    const size_t close = hostPart.find(']');
    if (close == std::string_view::npos) {
      return std::nullopt;
    }
    std::string_view after = hostPart.substr(close + 1);
    if (!after.empty() && after.front() != ':') {
      return std::nullopt;
    }
    portText = after.empty() ? after : after.substr(1);
    hostPart = hostPart.substr(0, close + 1);
  } else if (const size_t colon = hostPart.find(':'); colon != std::string_view::npos) {
    portText = hostPart.substr(colon + 1);
    hostPart = hostPart.substr(0, colon);
  }
  if (hostPart.empty()) {
    return std::nullopt;
  }
  for (const char c : hostPart) {
    if (IsForbiddenHostChar(static_cast<unsigned char>(c))) {
      return std::nullopt;
    }
  }
  const std::optional<uint16_t> port = ParsePort(portText, result.secure_ ? 443 : 80);
  if (!port) {
    return std::nullopt;
  }
  result.host_ = std::string(hostPart);
  result.port_ = *port;
  result.path_ = EncodePath(rest);
  if (!result.path_.empty() && result.path_.front() != '/') {
    result.path_.insert(0, "/");
  }
  return result;
}

std::string HttpUrl::RequestTarget() const { return path_.empty() ? std::string("/") : path_; }

std::string HttpUrl::ToString() const {
  return std::string(secure_ ? kHttps : kHttp) + host_ + ":" + std::to_string(port_) + RequestTarget();
}

std::optional<HttpUrl> HttpUrl::Resolve(std::string_view location) const {
  if (location.starts_with(kHttp) || location.starts_with(kHttps)) {
    return Parse(location);
  }
  if (location.starts_with("//")) {
    return Parse(std::string(secure_ ? kHttps : kHttp) + std::string(location.substr(2)));
  }
  HttpUrl next = *this;
  // A copy: the request target is made on the fly, and a view of it would dangle.
  const std::string current = RequestTarget();
  if (location.empty()) {
    return next;
  }
  std::string target;
  if (location.front() == '/') {
    target = location;
  } else if (location.front() == '?') {
    target = std::string(current.substr(0, current.find('?'))) + std::string(location);
  } else {
    const std::string base = current.substr(0, current.find('?'));
    target = std::string(base.substr(0, base.rfind('/') + 1)) + std::string(location);
  }
  next.path_ = EncodePath(target.substr(0, target.find('#')));
  return next;
}

}  // namespace tarvo

#include "proxy_request_head.h"

#include <openssl/evp.h>

#include <algorithm>
#include <cctype>
#include <vector>

#include "field_values.h"

namespace tarvo::service {

namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string_view::npos) {
    return std::string();
  }
  return std::string(text.substr(first, text.find_last_not_of(" \t") - first + 1));
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return std::tolower(c); });
  return text;
}

std::optional<std::string> DecodeBase64(std::string_view text) {
  if (text.empty() || text.size() % 4 != 0) {
    return std::nullopt;
  }
  std::vector<unsigned char> bytes(text.size() / 4 * 3 + 1);
  const int length = EVP_DecodeBlock(bytes.data(), reinterpret_cast<const unsigned char*>(text.data()),
                                     static_cast<int>(text.size()));
  if (length < 0) {
    return std::nullopt;
  }
  const size_t padding = static_cast<size_t>(std::count(text.end() - 2, text.end(), '='));
  return std::string(reinterpret_cast<const char*>(bytes.data()), static_cast<size_t>(length) - padding);
}

}  // namespace

std::optional<ProxyRequestHead> ProxyRequestHead::Parse(std::string_view head) {
  // A lone CR or LF, or a NUL, would read as a line break (or an end) to some
  // server behind the proxy and let a header line smuggle in a request of its own.
  for (size_t i = 0; i < head.size(); ++i) {
    const bool loneCr = head[i] == '\r' && (i + 1 == head.size() || head[i + 1] != '\n');
    const bool loneLf = head[i] == '\n' && (i == 0 || head[i - 1] != '\r');
    if (loneCr || loneLf || head[i] == '\0') {
      return std::nullopt;
    }
  }
  ProxyRequestHead parsed;
  size_t lineEnd = head.find("\r\n");
  const std::string_view requestLine = head.substr(0, lineEnd);
  const size_t firstSpace = requestLine.find(' ');
  const size_t secondSpace = requestLine.rfind(' ');
  if (firstSpace == std::string_view::npos || secondSpace == firstSpace) {
    return std::nullopt;
  }
  parsed.method_ = std::string(requestLine.substr(0, firstSpace));
  parsed.version_ = std::string(requestLine.substr(secondSpace + 1));
  if (parsed.version_.rfind("HTTP/", 0) != 0 ||
      !parsed.ParseTarget(requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1))) {
    return std::nullopt;
  }
  while (lineEnd != std::string_view::npos) {
    const size_t start = lineEnd + 2;
    lineEnd = head.find("\r\n", start);
    const std::string_view line = head.substr(start, lineEnd == std::string_view::npos ? lineEnd : lineEnd - start);
    if (line.empty()) {
      continue;
    }
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) {
      return std::nullopt;
    }
    parsed.headers_.emplace_back(std::string(line.substr(0, colon)), Trim(line.substr(colon + 1)));
  }
  return parsed;
}

bool ProxyRequestHead::ParseTarget(std::string_view target) {
  std::string_view authority;
  if (IsConnect()) {
    authority = target;
    path_.clear();
  } else {
    constexpr std::string_view kScheme = "http://";
    if (target.size() < kScheme.size() || !EqualsIgnoringCase(target.substr(0, kScheme.size()), kScheme)) {
      return false;
    }
    target.remove_prefix(kScheme.size());
    const size_t slash = target.find_first_of("/?");
    authority = target.substr(0, slash);
    path_ = slash == std::string_view::npos ? "/" : std::string(target.substr(slash));
    if (path_.front() == '?') {
      path_.insert(path_.begin(), '/');
    }
  }
  if (authority.find('@') != std::string_view::npos) {
    return false;
  }
  std::string_view portText;
  if (!authority.empty() && authority.front() == '[') {
    const size_t close = authority.find(']');
    if (close == std::string_view::npos) {
      return false;
    }
    host_ = std::string(authority.substr(1, close - 1));
    if (close + 1 < authority.size()) {
      if (authority[close + 1] != ':') {
        return false;
      }
      portText = authority.substr(close + 2);
    }
  } else {
    const size_t colon = authority.rfind(':');
    host_ = std::string(authority.substr(0, colon));
    if (colon != std::string_view::npos) {
      portText = authority.substr(colon + 1);
    }
  }
  host_ = Lower(host_);
  if (portText.empty()) {
    if (IsConnect()) {
      return false;
    }
    port_ = 80;
  } else {
    const auto port = ParseInteger(portText);
    if (!port || *port <= 0 || *port > 65535) {
      return false;
    }
    port_ = static_cast<int>(*port);
  }
  return !host_.empty();
}

std::optional<std::string> ProxyRequestHead::Header(std::string_view name) const {
  for (const auto& [headerName, value] : headers_) {
    if (EqualsIgnoringCase(headerName, name)) {
      return value;
    }
  }
  return std::nullopt;
}

std::optional<std::pair<std::string, std::string>> ProxyRequestHead::BasicCredentials() const {
  const auto value = Header("Proxy-Authorization");
  constexpr std::string_view kBasic = "basic ";
  if (!value || value->size() <= kBasic.size() || !EqualsIgnoringCase(value->substr(0, kBasic.size()), kBasic)) {
    return std::nullopt;
  }
  const auto decoded = DecodeBase64(Trim(std::string_view(*value).substr(kBasic.size())));
  if (!decoded) {
    return std::nullopt;
  }
  const size_t colon = decoded->find(':');
  if (colon == std::string::npos) {
    return std::nullopt;
  }
  return std::make_pair(decoded->substr(0, colon), decoded->substr(colon + 1));
}

std::string ProxyRequestHead::ForwardedHead() const {
  std::string head = method_ + " " + path_ + " " + version_ + "\r\n";
  bool hasHost = false;
  for (const auto& [name, value] : headers_) {
    if (EqualsIgnoringCase(name, "Proxy-Authorization") || EqualsIgnoringCase(name, "Proxy-Connection") ||
        EqualsIgnoringCase(name, "Connection") || EqualsIgnoringCase(name, "Keep-Alive")) {
      continue;
    }
    hasHost = hasHost || EqualsIgnoringCase(name, "Host");
    head += name + ": " + value + "\r\n";
  }
  if (!hasHost) {
    head += "Host: " + host_ + (port_ == 80 ? "" : ":" + std::to_string(port_)) + "\r\n";
  }
  return head + "Connection: close\r\n\r\n";
}

}  // namespace tarvo::service

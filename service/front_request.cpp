#include "front_request.h"

#include <algorithm>
#include <cctype>

#include "field_values.h"

namespace tarvo::service {

namespace {

using Kind = ConnectionGate::Verdict::Kind;

bool SameText(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view Trim(std::string_view text) {
  const size_t first = text.find_first_not_of(" \t");
  return first == std::string_view::npos ? std::string_view()
                                         : text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// "name: value" lines of a head (after the request line).
std::vector<std::pair<std::string, std::string>> HeaderLines(std::string_view head) {
  std::vector<std::pair<std::string, std::string>> headers;
  size_t start = head.find("\r\n");
  while (start != std::string_view::npos) {
    start += 2;
    const size_t end = head.find("\r\n", start);
    const std::string_view line = head.substr(start, end == std::string_view::npos ? end : end - start);
    const size_t colon = line.find(':');
    if (colon != std::string_view::npos && colon > 0) {
      headers.emplace_back(std::string(line.substr(0, colon)), std::string(Trim(line.substr(colon + 1))));
    }
    start = end;
  }
  return headers;
}

std::string ValueOf(const std::vector<std::pair<std::string, std::string>>& headers, std::string_view name) {
  for (const auto& [header, value] : headers) {
    if (SameText(header, name)) {
      return value;
    }
  }
  return std::string();
}

std::string DecodePath(std::string_view path) {
  std::string decoded;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '%' && i + 2 < path.size() && std::isxdigit(static_cast<unsigned char>(path[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(path[i + 2]))) {
      decoded.push_back(static_cast<char>(std::stoi(std::string(path.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      decoded.push_back(path[i]);
    }
  }
  return decoded;
}

}  // namespace

FrontRequest::Progress FrontRequest::Check(std::string_view received, size_t maxBody) {
  const size_t end = received.find("\r\n\r\n");
  if (end == std::string_view::npos) {
    return received.size() > kMaxHeadBytes ? Progress{Kind::kRefuse, 431} : Progress{};
  }
  const std::string_view head = received.substr(0, end + 2);
  if (end > kMaxHeadBytes || static_cast<size_t>(std::count(head.begin(), head.end(), '\n')) > kMaxHeaderLines + 1) {
    return {Kind::kRefuse, 431};
  }
  const auto headers = HeaderLines(head);
  if (!ValueOf(headers, "Transfer-Encoding").empty()) {
    return {Kind::kRefuse, 411};
  }
  const std::string lengthText = ValueOf(headers, "Content-Length");
  const auto length = lengthText.empty() ? std::optional<int64_t>(0) : ParseInteger(lengthText);
  if (!length || *length < 0) {
    return {Kind::kRefuse, 400};
  }
  if (static_cast<uint64_t>(*length) > maxBody) {
    return {Kind::kRefuse, 413};
  }
  if (received.size() - end - 4 < static_cast<size_t>(*length)) {
    return {Kind::kMore, 0, SameText(ValueOf(headers, "Expect"), "100-continue")};
  }
  return {Kind::kComplete};
}

std::optional<FrontRequest> FrontRequest::Parse(std::string_view received, std::string peer) {
  const size_t end = received.find("\r\n\r\n");
  const std::string_view line = received.substr(0, received.find("\r\n"));
  const size_t first = line.find(' ');
  const size_t last = line.rfind(' ');
  if (end == std::string_view::npos || first == std::string_view::npos || last == first ||
      line.substr(last + 1).rfind("HTTP/1.", 0) != 0) {
    return std::nullopt;
  }
  FrontRequest request;
  request.method_ = std::string(line.substr(0, first));
  const std::string_view target = line.substr(first + 1, last - first - 1);
  if (target.empty() || target.front() != '/') {
    return std::nullopt;
  }
  request.path_ = DecodePath(target.substr(0, target.find('?')));
  request.headers_ = HeaderLines(received.substr(0, end + 2));
  const auto length = ParseInteger(request.Header("Content-Length").empty() ? "0" : request.Header("Content-Length"));
  request.body_ = std::string(received.substr(end + 4, static_cast<size_t>(length.value_or(0))));
  request.peer_ = std::move(peer);
  request.version_ = std::string(line.substr(last + 1));
  request.size_ = end + 4 + request.body_.size();
  return request;
}

std::string FrontRequest::Header(std::string_view name) const { return ValueOf(headers_, name); }

bool FrontRequest::keepsAlive() const {
  if (version_ != "HTTP/1.1") {
    return false;
  }
  // Connection is a list of options ("close", "TE", "Upgrade, close" ...).
  const std::string joined = JoinedHeader("Connection");
  std::string_view options = joined;
  while (!options.empty()) {
    const size_t comma = options.find(',');
    if (SameText(Trim(options.substr(0, comma)), "close")) {
      return false;
    }
    options = comma == std::string_view::npos ? std::string_view() : options.substr(comma + 1);
  }
  return true;
}

std::string FrontRequest::JoinedHeader(std::string_view name) const {
  std::string joined;
  for (const auto& [header, value] : headers_) {
    if (SameText(header, name)) {
      joined += joined.empty() ? value : ", " + value;
    }
  }
  return joined;
}

}  // namespace tarvo::service

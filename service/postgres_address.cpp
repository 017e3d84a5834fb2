#include "postgres_address.h"

#include <cctype>
#include <string_view>

namespace tarvo::service {

namespace {

constexpr std::string_view kHidden = "***";

// Percent-decoding as libpq does it for URI parts (a broken escape is kept).
std::string Decoded(std::string_view text) {
  std::string plain;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '%' && i + 2 < text.size() && std::isxdigit(static_cast<unsigned char>(text[i + 1])) &&
        std::isxdigit(static_cast<unsigned char>(text[i + 2]))) {
      plain.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 1, 2)), nullptr, 16)));
      i += 2;
    } else {
      plain.push_back(text[i]);
    }
  }
  return plain;
}

bool IsSecretParameter(std::string_view name) {
  std::string plain = Decoded(name);
  for (char& c : plain) {
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  }
  return plain == "password" || plain == "sslpassword";
}

// Where the text after the scheme begins; npos for a text without "://".
size_t AfterScheme(const std::string& address) {
  const size_t scheme = address.find("://");
  return scheme == std::string::npos ? std::string::npos : scheme + 3;
}

}  // namespace

std::string PostgresAddress::Redacted(const std::string& address) {
  std::string shown = address;
  const size_t start = AfterScheme(shown);
  if (start == std::string::npos) {
    return shown;
  }
  // The user information, read generously: up to the last "@" there is.
  const size_t at = shown.rfind('@');
  const size_t colon = shown.find(':', start);
  if (at != std::string::npos && at >= start && colon < at) {
    shown.replace(colon + 1, at - colon - 1, kHidden);
  }
  // Every "password=" and "sslpassword=" parameter, wherever a "?" or "&" starts one.
  for (size_t mark = shown.find_first_of("?&", start); mark != std::string::npos;
       mark = shown.find_first_of("?&", mark + 1)) {
    const size_t equals = shown.find('=', mark + 1);
    if (equals == std::string::npos) {
      break;
    }
    const std::string_view name = std::string_view(shown).substr(mark + 1, equals - mark - 1);
    if (name.find_first_of("?&") != std::string_view::npos || !IsSecretParameter(name)) {
      continue;
    }
    const size_t end = std::min(shown.find('&', equals + 1), shown.size());
    shown.replace(equals + 1, end - equals - 1, kHidden);
  }
  return shown;
}

std::string PostgresAddress::Problem(const std::string& address) {
  const size_t start = AfterScheme(address);
  if (start == std::string::npos) {
    return std::string();
  }
  // libpq ends the user information at the first "@", or takes none when a "/"
  // comes first; the host then runs to the next "/".
  const size_t first = address.find_first_of("@/", start);
  if (first == std::string::npos) {
    return std::string();
  }
  if (address[first] == '@') {
    const size_t hostEnd = std::min(address.find('/', first + 1), address.size());
    if (address.find('@', first + 1) < hostEnd) {
      return "the user name or password of the database address holds an unencoded \"@\": write it as %40";
    }
    return std::string();
  }
  const size_t queryStart = std::min(address.find('?', first), address.size());
  if (address.find('@', first) < queryStart) {
    return "the user name or password of the database address holds an unencoded \"/\": write it as %2F";
  }
  return std::string();
}

}  // namespace tarvo::service

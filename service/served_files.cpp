#include "served_files.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "service_database.h"

namespace tarvo::service {

std::string ServedFiles::HostName(std::string_view hostHeader) {
  std::string host;
  if (!hostHeader.empty() && hostHeader.front() == '[') {
    const size_t close = hostHeader.find(']');
    host = std::string(hostHeader.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1));
  } else {
    host = std::string(hostHeader.substr(0, hostHeader.find(':')));
  }
  std::transform(host.begin(), host.end(), host.begin(), [](unsigned char c) { return std::tolower(c); });
  return host;
}

std::optional<std::string> ServedFiles::FindPage(std::string_view host, std::string_view path) const {
  if (path != "/" && path != "/index.html") {
    return std::nullopt;
  }
  const std::string name = HostName(host);
  return db_.Read([&](DatabaseConnection& db) -> std::optional<std::string> {
    auto mirror = db.Prepare("SELECT mirror_page FROM sites WHERE deleted=0 AND mirror_address=?1 ORDER BY id");
    mirror.Bind(1, name);
    if (mirror.Step()) {
      return mirror.Text(0);
    }
    auto page = db.Prepare("SELECT file_path FROM pages WHERE host=?1");
    page.Bind(1, name);
    if (page.Step()) {
      return page.Text(0);
    }
    return std::nullopt;
  });
}

std::optional<std::string> ServedFiles::FindInstaller(std::string_view fileName) const {
  if (fileName.empty()) {
    return std::nullopt;
  }
  return db_.Read([&](DatabaseConnection& db) -> std::optional<std::string> {
    auto query = db.Prepare("SELECT installer_path FROM brands WHERE installer_name=?1 AND installer_path<>''");
    query.Bind(1, fileName);
    if (query.Step()) {
      return query.Text(0);
    }
    return std::nullopt;
  });
}

std::optional<std::string> ServedFiles::FindIcon(std::string_view fileName) const {
  if (fileName.empty()) {
    return std::nullopt;
  }
  return db_.Read([&](DatabaseConnection& db) -> std::optional<std::string> {
    auto query = db.Prepare("SELECT file_path FROM icons WHERE name=?1");
    query.Bind(1, fileName);
    if (query.Step()) {
      return query.Text(0);
    }
    return std::nullopt;
  });
}

std::string ServedFiles::ContentType(std::string_view path) {
  static constexpr std::array<std::pair<std::string_view, std::string_view>, 8> kTypes = {{
      {".html", "text/html; charset=utf-8"},
      {".htm", "text/html; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},
      {".js", "text/javascript; charset=utf-8"},
      {".png", "image/png"},
      {".svg", "image/svg+xml"},
      {".ico", "image/x-icon"},
      {".txt", "text/plain; charset=utf-8"},
  }};
  for (const auto& [extension, type] : kTypes) {
    if (path.size() >= extension.size() && path.substr(path.size() - extension.size()) == extension) {
      return std::string(type);
    }
  }
  return "application/octet-stream";
}

}  // namespace tarvo::service

#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tarvo::service {

class ServiceDatabase;

// The files the service hands out over GET, all named by the seed: mirror pages of
// protected sites (by the loopback address the mirror is reached on), pages of the
// test domain's host names, and installers. Request paths never name files
// directly, so nothing outside the seed can be read. Authority icons the seed ships
// are served to any host under kIconPath.
//
// Threads: any; no state of its own.
class ServedFiles {
 public:
  // `db` must outlive this object.
  explicit ServedFiles(ServiceDatabase& db) : db_(db) {}

  // The page for a request to `host` (a Host header, port allowed) and `path`: the
  // mirror page when the host is a served mirror's address, the host's page when
  // the seed names one; only the site root ("/" or "/index.html") has a page.
  std::optional<std::string> FindPage(std::string_view host, std::string_view path) const;

  // The installer file published under `fileName`.
  std::optional<std::string> FindInstaller(std::string_view fileName) const;
  // The seed's authority icon file published under `fileName` (below kIconPath).
  std::optional<std::string> FindIcon(std::string_view fileName) const;
  static constexpr std::string_view kIconPath = "/icons/";

  // Content type by file extension (HTML, CSS, scripts, images, or bytes).
  static std::string ContentType(std::string_view path);

  // The host name of a Host header: no port, lower case, no IPv6 brackets.
  static std::string HostName(std::string_view hostHeader);

 private:
  ServiceDatabase& db_;
};

}  // namespace tarvo::service

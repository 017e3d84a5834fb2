#include "cli_command.h"
#include "url/site_icon.h"
#include "url/url_parts.h"

namespace tarvo::cli {

namespace {

int RunUrl(const std::vector<std::string>& args, CliStreams& io) {
  if (args.size() != 2) {
    return UsageError(io, "url", "expects OPERATION URL");
  }
  const std::string& operation = args[0];
  const WString url = Utf8ToWide(args[1]);
  if (operation == "host") {
    io.out << WideToUtf8(GetUrlHost(url)) << "\n";
  } else if (operation == "origin") {
    io.out << WideToUtf8(GetUrlOrigin(url)) << "\n";
  } else if (operation == "path") {
    io.out << WideToUtf8(GetUrlPath(url)) << "\n";
  } else if (operation == "domain") {
    io.out << WideToUtf8(GetRegistrableDomain(url)) << "\n";
  } else if (operation == "favicons") {
    for (const WString& candidate : GetFaviconCandidates(url)) {
      io.out << WideToUtf8(candidate) << "\n";
    }
  } else if (operation == "iconname") {
    io.out << WideToUtf8(GetIconCacheName(url)) << "\n";
  } else {
    return UsageError(io, "url", "unknown operation '" + operation + "'");
  }
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> UrlCommands() {
  return {{"url", "the browser's URL operations on one address",
           "usage: tarvo-cli url OPERATION URL\n\noperations:\n"
           "  host      the host as the browser reads it\n"
           "  origin    scheme, host and port\n"
           "  path      the path after the host\n"
           "  domain    the registrable domain (public suffix table)\n"
           "  favicons  the five favicon addresses, in the order they are tried\n"
           "  iconname  the icon cache file name of an icon address\n",
           RunUrl}};
}

}  // namespace tarvo::cli

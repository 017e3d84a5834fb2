#include <cstdlib>
#include <optional>

#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "cli_command.h"
#include "net/http_factory.h"
#include "net/http_post_form.h"

namespace tarvo::cli {

namespace {

constexpr const char* kDefaultApi = "https://127.0.0.1:8360/";

struct ClientChoice {
  const char* name;
  HttpClientKind kind;
};
constexpr ClientChoice kClients[] = {
    {"socket", kHttpClientSocket}, {"wininet", kHttpClientWininet}, {"winhttp", kHttpClientWinHttp}};

std::optional<HttpClientKind> ClientByName(const std::string& name) {
  for (const ClientChoice& choice : kClients) {
    if (name == choice.name) {
      return choice.kind;
    }
  }
  return std::nullopt;
}

// Splits off "--NAME VALUE" options; false when one lacks its value.
bool TakeOption(std::vector<std::string>& args, const std::string& name, std::string& value) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == name) {
      if (i + 1 >= args.size()) {
        return false;
      }
      value = args[i + 1];
      args.erase(args.begin() + static_cast<std::ptrdiff_t>(i), args.begin() + static_cast<std::ptrdiff_t>(i) + 2);
      return true;
    }
  }
  return true;
}

int RunPost(std::vector<std::string> args, CliStreams& io) {
  const char* fromEnvironment = std::getenv("TARVO_API_URL");
  std::string api = fromEnvironment != nullptr && *fromEnvironment != '\0' ? fromEnvironment : kDefaultApi;
  std::string authority;
  if (!TakeOption(args, "--api", api) || !TakeOption(args, "--ca", authority) || args.empty()) {
    return UsageError(io, "post", "expects PATH [NAME=VALUE...] [--api URL] [--ca FILE]");
  }
  FormBody body;
  for (size_t i = 1; i < args.size(); ++i) {
    const size_t equals = args[i].find('=');
    if (equals == std::string::npos || equals == 0) {
      return UsageError(io, "post", "field '" + args[i] + "' is not NAME=VALUE");
    }
    body.Add(args[i].substr(0, equals), std::string_view(args[i]).substr(equals + 1));
  }
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, Utf8ToWide(api));
  SettingsRegistry::Instance().Set(SettingsKeys::kServiceCaFile, Utf8ToWide(authority));
  ServiceReply reply;
  if (CallService(Utf8ToWide(args[0]), body, reply) != 0) {
    io.err << "tarvo-cli post: no usable reply from " << api << args[0] << "\n";
    return kExitFailed;
  }
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "  ";
  io.out << "code: " << reply.code() << "\nmessage: " << reply.message()
         << "\ndata: " << Json::writeString(writer, reply.data()) << "\n";
  return reply.succeeded() ? kExitOk : kExitFailed;
}

int RunDownload(std::vector<std::string> args, CliStreams& io) {
  std::string clientName = "winhttp";
  if (!TakeOption(args, "--client", clientName) || args.size() != 2) {
    return UsageError(io, "download", "expects URL FILE [--client socket|wininet|winhttp]");
  }
  const std::optional<HttpClientKind> kind = ClientByName(clientName);
  if (!kind) {
    return UsageError(io, "download", "unknown client '" + clientName + "'");
  }
  const HttpClientPtr<IHttpBase> client = MakeHttpClient<IHttpBase>(*kind);
  const bool ok = client->DownloadFile(Utf8ToWide(args[0]), Utf8ToWide(args[1]));
  io.out << clientName << ": " << (ok ? "ok" : "failed") << ", error code " << client->GetErrorCode() << "\n";
  return ok ? kExitOk : kExitFailed;
}

int RunFetch(std::vector<std::string> args, CliStreams& io) {
  std::string clientName;
  if (!TakeOption(args, "--client", clientName) || args.size() != 1) {
    return UsageError(io, "fetch", "expects URL [--client socket|wininet|winhttp]");
  }
  if (!clientName.empty() && !ClientByName(clientName)) {
    return UsageError(io, "fetch", "unknown client '" + clientName + "'");
  }
  bool allOk = true;
  for (const ClientChoice& choice : kClients) {
    if (!clientName.empty() && clientName != choice.name) {
      continue;
    }
    const HttpClientPtr<IHttpBase> client = MakeHttpClient<IHttpBase>(choice.kind);
    uint8_t* buffer = nullptr;
    uint32_t length = 0;
    const bool ok = client->DownloadToMem(Utf8ToWide(args[0]), &buffer, &length);
    std::free(buffer);
    io.out << choice.name << ": " << (ok ? "ok, " + std::to_string(length) + " bytes" : std::string("failed"))
           << ", error code " << client->GetErrorCode() << "\n";
    allOk = allOk && ok;
  }
  return allOk ? kExitOk : kExitFailed;
}

}  // namespace

std::vector<CliCommand> HttpCommands() {
  return {
      {"post", "send a form to a service endpoint and print the reply envelope",
       "usage: tarvo-cli post PATH [NAME=VALUE...] [--api URL] [--ca FILE]\n\n"
       "Posts the form (fields in the order given, form-encoded) to the base address\n"
       "plus PATH, e.g. 'tarvo-cli post app/v1.0/version brand=TarvoBrowser type=PC'.\n"
       "The base address is --api, else $TARVO_API_URL, else " +
           std::string(kDefaultApi) +
           ".\nAn https:// service's certificate must verify against the system's store or\n"
           "the certification authorities in the PEM FILE given with --ca.\n"
           "Exit code 0 only for \"code\" 200.\n",
       [](const std::vector<std::string>& args, CliStreams& io) { return RunPost(args, io); }},
      {"download", "download a URL into a file with one client kind",
       "usage: tarvo-cli download URL FILE [--client socket|wininet|winhttp]\n\n"
       "Prints the outcome and the client's error code (default client: winhttp).\n",
       [](const std::vector<std::string>& args, CliStreams& io) { return RunDownload(args, io); }},
      {"fetch", "fetch a URL into memory with each client kind",
       "usage: tarvo-cli fetch URL [--client socket|wininet|winhttp]\n\n"
       "Fetches with every client kind (or the one named) and prints, per client, the\n"
       "outcome, the byte count and the error code.\n",
       [](const std::vector<std::string>& args, CliStreams& io) { return RunFetch(args, io); }},
  };
}

}  // namespace tarvo::cli

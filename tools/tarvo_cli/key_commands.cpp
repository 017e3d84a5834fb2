#include <fstream>

#include "cli_command.h"
#include "net/signing_key.h"

namespace tarvo::cli {

namespace {

int RunKeygen(const std::vector<std::string>& args, CliStreams& io) {
  if (args.size() != 1) {
    return UsageError(io, "keygen", "expects exactly one FILE");
  }
  const std::string& privatePath = args[0];
  const std::string publicPath = privatePath + ".pub";
  std::optional<SigningKey> key = SigningKey::Generate();
  if (!key) {
    io.err << "tarvo-cli keygen: no key could be made (OpenSSL or the random source failed)\n";
    return kExitFailed;
  }
  std::string error;
  if (!key->Save(privatePath, error)) {
    io.err << "tarvo-cli keygen: " << error << "\n";
    return kExitFailed;
  }
  const std::string publicKey = key->PublicKeyHex();
  std::ofstream publicFile(publicPath, std::ios::trunc);
  publicFile << publicKey << "\n";
  if (!publicFile.flush()) {
    io.err << "tarvo-cli keygen: cannot write " << publicPath << "\n";
    return kExitFailed;
  }
  io.out << publicKey << "\n";
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> KeyCommands() {
  return {
      {"keygen", "make the brand's signing key pair",
       "usage: tarvo-cli keygen FILE\n\n"
       "Writes a new Ed25519 private key to FILE (PEM, readable by its owner only; an\n"
       "existing FILE is never replaced) for 'tarvo-service --signing-key FILE', and\n"
       "its public key to FILE.pub. The public key (64 hexadecimal digits, also printed)\n"
       "goes into the browser's build setting TARVO_SERVICE_KEYS.\n",
       [](const std::vector<std::string>& args, CliStreams& io) { return RunKeygen(args, io); }},
  };
}

}  // namespace tarvo::cli

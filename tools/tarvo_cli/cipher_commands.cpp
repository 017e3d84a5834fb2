#include "cli_command.h"
#include "net/payload_cipher.h"

namespace tarvo::cli {

namespace {

int RunCipher(bool encrypt, const std::vector<std::string>& args, CliStreams& io) {
  const char* name = encrypt ? "encrypt" : "decrypt";
  if (args.size() != 1) {
    return UsageError(io, name, "expects exactly one TEXT");
  }
  const PayloadCipher cipher;
  std::string result;
  const int status = encrypt ? cipher.EncryptText(args[0], result) : cipher.DecryptText(args[0], result);
  if (status != 0) {
    io.err << "tarvo-cli " << name << ": the cipher could not be set up\n";
    return kExitFailed;
  }
  io.out << result << "\n";
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> CipherCommands() {
  return {
      {"encrypt", "cipher a value as the service does (AES-128-CBC, base64)",
       "usage: tarvo-cli encrypt TEXT\n\nPrints the base64 ciphertext of the UTF-8 TEXT, as the service sends\n"
       "protected-site addresses, node addresses and white-list domains.\n",
       [](const std::vector<std::string>& args, CliStreams& io) { return RunCipher(true, args, io); }},
      {"decrypt", "decipher a base64 value",
       "usage: tarvo-cli decrypt BASE64\n\nPrints the plain text. Like the browser, malformed or foreign input gives\n"
       "garbled or empty text rather than an error.\n",
       [](const std::vector<std::string>& args, CliStreams& io) { return RunCipher(false, args, io); }},
  };
}

}  // namespace tarvo::cli

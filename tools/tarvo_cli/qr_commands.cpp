#include "cli_command.h"
#include "protect/qr_code_image.h"

namespace tarvo::cli {

namespace {

int RunQr(const std::vector<std::string>& args, CliStreams& io) {
  if (args.size() != 2) {
    return UsageError(io, "qr", "expects a TEXT and a FILE");
  }
  const QrCodeImage::Result result = QrCodeImage::WriteFile(args[0], args[1]);
  switch (result.status) {
    case QrCodeImage::Status::kOk:
      io.out << args[1] << ": " << result.pixels << "x" << result.pixels << " pixels\n";
      return kExitOk;
    case QrCodeImage::Status::kEmpty:
      return UsageError(io, "qr", "TEXT is empty");
    case QrCodeImage::Status::kTooLong:
      io.err << "tarvo-cli qr: TEXT is too long for a QR code (" << args[0].size() << " bytes)\n";
      return kExitFailed;
    case QrCodeImage::Status::kWriteFailed:
      io.err << "tarvo-cli qr: cannot write " << args[1] << ": " << result.detail << "\n";
      return kExitFailed;
    case QrCodeImage::Status::kEncodeFailed:
      break;
  }
  io.err << "tarvo-cli qr: TEXT cannot be encoded (a NUL byte, or out of memory)\n";
  return kExitFailed;
}

}  // namespace

std::vector<CliCommand> QrCommands() {
  return {
      {"qr", "write a QR code picture as the browser's QR window does",
       "usage: tarvo-cli qr TEXT FILE\n\nWrites a QR code of the UTF-8 TEXT to FILE with the browser's own code: the\n"
       "same uncompressed 24-bit bitmap the QR window shows (whatever FILE's extension\n"
       "says), error correction M (L when M cannot hold TEXT), a quiet zone of four\n"
       "modules, 3 to 8 pixels per module. Prints the picture's size in pixels.\n",
       RunQr},
  };
}

}  // namespace tarvo::cli

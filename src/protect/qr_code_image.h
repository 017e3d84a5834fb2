#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tarvo {

// A QR code of a text, scaled for a phone camera to read it from a screen, and
// written as an uncompressed bitmap file. The QR window and `tarvo-cli qr` both
// write their pictures through WriteFile, so the two give the same bytes.
//
// Encoding: libqrencode, the text as UTF-8 in byte mode (digit runs may use the
// denser modes), the smallest version that holds it. Error correction M (15 %)
// copes with glare and moiré on a screen; when M cannot hold the text, L (7 %)
// takes it, so the longest text is the QR limit of 2,953 bytes.
// Layout: a quiet zone of four modules on every side (what the standard asks; the
// window frame around the code is no substitute), each module a square of
// ModulePixels, from 8 pixels for short codes to 3 for the largest, so a short
// address is about 230 pixels wide and no module is smaller than 3 pixels.
// File: a 14-byte file header, a 40-byte information header and bottom-up rows of
// 24-bit pixels, each row padded with zero bytes to a multiple of 4 bytes.
//
// Threads: any; plain value type, no shared state.
class QrCodeImage {
 public:
  static constexpr int kQuietZoneModules = 4;
  static constexpr int kTargetPixels = 240;
  static constexpr int kMinModulePixels = 3;
  static constexpr int kMaxModulePixels = 8;
  static constexpr int kFileHeaderBytes = 14;
  static constexpr int kInfoHeaderBytes = 40;

  enum class Status {
    kOk,
    kEmpty,         // nothing to encode
    kTooLong,       // more than a QR code holds
    kEncodeFailed,  // the encoder failed otherwise (memory, a NUL byte in the text)
    kWriteFailed,   // the file could not be written (see the detail)
  };

  struct Result {
    Status status = Status::kOk;
    std::string detail;  // the system's reason for a write failure
    int pixels = 0;      // the written picture's width and height
  };

  // Encodes `utf8`. Status other than kOk leaves an empty image.
  static Status Encode(std::string_view utf8, QrCodeImage& image);

  // Encodes `utf8` and writes the bitmap to `path`. Any old file at `path` is removed
  // first, so a failure never leaves an older code in its place; the bitmap goes to a
  // temporary name beside it and is renamed into place when complete.
  static Result WriteFile(std::string_view utf8, const std::string& path);

  // The symbol's width in modules, without the quiet zone; 0 when empty.
  int Modules() const { return modules_; }
  bool IsDark(int column, int row) const { return dark_[static_cast<size_t>(row * modules_ + column)] != 0; }
  // Pixels per module for a symbol of `modules` modules.
  static int ModulePixels(int modules);
  // The picture's width and height in pixels, quiet zone included.
  int PixelSide() const;
  // The whole bitmap file.
  std::string BitmapFile() const;

 private:
  int modules_ = 0;
  std::vector<unsigned char> dark_;  // row by row, top first; 1 = dark
};

}  // namespace tarvo

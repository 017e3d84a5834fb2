#include "protect/qr_code_image.h"

#include <qrencode.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace tarvo {

namespace {

struct QrCodeReleaser {
  void operator()(QRcode* code) const { QRcode_free(code); }
};
using QrCodePtr = std::unique_ptr<QRcode, QrCodeReleaser>;

// One encoding attempt; errno tells ERANGE (too long) from the other failures.
QrCodePtr EncodeAt(const std::string& text, QRecLevel level) {
  errno = 0;
  return QrCodePtr(QRcode_encodeString(text.c_str(), 0, level, QR_MODE_8, 1));
}

void PutLittleEndian(std::string& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) {
    out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  }
}

std::string SystemReason(int error) { return std::strerror(error); }

}  // namespace

QrCodeImage::Status QrCodeImage::Encode(std::string_view utf8, QrCodeImage& image) {
  image = QrCodeImage();
  if (utf8.empty()) {
    return Status::kEmpty;
  }
  // The encoder reads a C string: a NUL byte would silently cut the text short.
  if (utf8.find('\0') != std::string_view::npos) {
    return Status::kEncodeFailed;
  }
  const std::string text(utf8);
  QrCodePtr code = EncodeAt(text, QR_ECLEVEL_M);
  if (!code && errno == ERANGE) {
    code = EncodeAt(text, QR_ECLEVEL_L);
  }
  if (!code) {
    return errno == ERANGE ? Status::kTooLong : Status::kEncodeFailed;
  }
  image.modules_ = code->width;
  const size_t count = static_cast<size_t>(code->width) * static_cast<size_t>(code->width);
  image.dark_.resize(count);
  for (size_t i = 0; i < count; ++i) {
    image.dark_[i] = code->data[i] & 1;
  }
  return Status::kOk;
}

int QrCodeImage::ModulePixels(int modules) {
  const int side = modules + 2 * kQuietZoneModules;
  return std::clamp(kTargetPixels / std::max(side, 1), kMinModulePixels, kMaxModulePixels);
}

int QrCodeImage::PixelSide() const {
  return modules_ == 0 ? 0 : (modules_ + 2 * kQuietZoneModules) * ModulePixels(modules_);
}

std::string QrCodeImage::BitmapFile() const {
  const int side = PixelSide();
  const int scale = ModulePixels(modules_);
  const uint32_t rowBytes = (static_cast<uint32_t>(side) * 3 + 3) / 4 * 4;
  const uint32_t pixelBytes = rowBytes * static_cast<uint32_t>(side);
  const uint32_t offset = kFileHeaderBytes + kInfoHeaderBytes;
  std::string file;
  file.reserve(offset + pixelBytes);
  // File header: signature, file size, two reserved words, offset of the pixels.
  file += "BM";
  PutLittleEndian(file, offset + pixelBytes, 4);
  PutLittleEndian(file, 0, 4);
  PutLittleEndian(file, offset, 4);
  // Information header: a positive height means the rows run bottom-up.
  PutLittleEndian(file, kInfoHeaderBytes, 4);
  PutLittleEndian(file, static_cast<uint32_t>(side), 4);
  PutLittleEndian(file, static_cast<uint32_t>(side), 4);
  PutLittleEndian(file, 1, 2);           // planes
  PutLittleEndian(file, 24, 2);          // bits per pixel
  PutLittleEndian(file, 0, 4);           // no compression
  PutLittleEndian(file, pixelBytes, 4);  // size of the pixel rows
  PutLittleEndian(file, 2835, 4);        // 72 dots per inch, as pixels per metre
  PutLittleEndian(file, 2835, 4);
  PutLittleEndian(file, 0, 4);           // no colour table
  PutLittleEndian(file, 0, 4);
  std::string row(rowBytes, '\0');
  const int quiet = kQuietZoneModules * scale;
  for (int y = side - 1; y >= 0; --y) {
    for (int x = 0; x < side; ++x) {
      const int column = (x - quiet) / scale;
      const int line = (y - quiet) / scale;
      const bool inSymbol = x >= quiet && y >= quiet && column < modules_ && line < modules_;
      const char value = inSymbol && IsDark(column, line) ? '\0' : '\xFF';
      std::memset(&row[static_cast<size_t>(x) * 3], value, 3);
    }
    file += row;
  }
  return file;
}

QrCodeImage::Result QrCodeImage::WriteFile(std::string_view utf8, const std::string& path) {
  Result result;
  if (std::remove(path.c_str()) != 0 && errno != ENOENT) {
    result.status = Status::kWriteFailed;
    result.detail = SystemReason(errno);
    return result;
  }
  QrCodeImage image;
  result.status = Encode(utf8, image);
  if (result.status != Status::kOk) {
    return result;
  }
  static std::atomic<uint64_t> counter = 0;
  const std::string temporary = path + ".part" + std::to_string(getpid()) + "-" + std::to_string(++counter);
  const std::string bytes = image.BitmapFile();
  FILE* out = std::fopen(temporary.c_str(), "wb");
  int error = out == nullptr ? errno : 0;
  if (out != nullptr) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) error = errno != 0 ? errno : EIO;
    if (std::fclose(out) != 0 && error == 0) error = errno;
    if (error == 0 && std::rename(temporary.c_str(), path.c_str()) != 0) error = errno;
    if (error != 0) std::remove(temporary.c_str());
  }
  if (error != 0) {
    result.status = Status::kWriteFailed;
    result.detail = SystemReason(error);
    return result;
  }
  result.pixels = image.PixelSide();
  return result;
}

}  // namespace tarvo

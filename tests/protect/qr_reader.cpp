#include "protect/qr_reader.h"

#include <zbar.h>

#include <fstream>
#include <iterator>

namespace tarvo::test {

namespace {

uint32_t Little(const std::string& bytes, size_t at, int count) {
  uint32_t value = 0;
  for (int i = count - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
  return value;
}

}  // namespace

std::optional<GreyPicture> ReadBitmap24(const std::string& bytes) {
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || Little(bytes, 28, 2) != 24 || Little(bytes, 30, 4) != 0) {
    return std::nullopt;
  }
  GreyPicture picture;
  picture.width = static_cast<int>(Little(bytes, 18, 4));
  picture.height = static_cast<int>(Little(bytes, 22, 4));
  const size_t offset = Little(bytes, 10, 4);
  const size_t rowBytes = (static_cast<size_t>(picture.width) * 3 + 3) / 4 * 4;
  if (picture.width <= 0 || picture.height <= 0 || offset + rowBytes * static_cast<size_t>(picture.height) > bytes.size()) {
    return std::nullopt;
  }
  picture.pixels.resize(static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height));
  for (int y = 0; y < picture.height; ++y) {
    const size_t row = offset + rowBytes * static_cast<size_t>(picture.height - 1 - y);
    for (int x = 0; x < picture.width; ++x) {
      const size_t at = row + static_cast<size_t>(x) * 3;
      const int sum = static_cast<uint8_t>(bytes[at]) + static_cast<uint8_t>(bytes[at + 1]) + static_cast<uint8_t>(bytes[at + 2]);
      picture.pixels[static_cast<size_t>(y * picture.width + x)] = static_cast<uint8_t>(sum / 3);
    }
  }
  return picture;
}

std::vector<std::string> DecodeQrCodes(const GreyPicture& picture) {
  using namespace zbar;  // its C interface, declared in a namespace for C++
  std::vector<std::string> found;
  zbar_image_scanner_t* scanner = zbar_image_scanner_create();
  zbar_image_scanner_set_config(scanner, ZBAR_NONE, ZBAR_CFG_ENABLE, 0);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_ENABLE, 1);
  zbar_image_scanner_set_config(scanner, ZBAR_QRCODE, ZBAR_CFG_BINARY, 1);
  zbar_image_t* image = zbar_image_create();
  zbar_image_set_format(image, zbar_fourcc('Y', '8', '0', '0'));
  zbar_image_set_size(image, static_cast<unsigned>(picture.width), static_cast<unsigned>(picture.height));
  zbar_image_set_data(image, picture.pixels.data(), picture.pixels.size(), nullptr);
  if (zbar_scan_image(scanner, image) > 0) {
    for (const zbar_symbol_t* symbol = zbar_image_first_symbol(image); symbol != nullptr;
         symbol = zbar_symbol_next(symbol)) {
      found.emplace_back(zbar_symbol_get_data(symbol), zbar_symbol_get_data_length(symbol));
    }
  }
  zbar_image_destroy(image);
  zbar_image_scanner_destroy(scanner);
  return found;
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace tarvo::test

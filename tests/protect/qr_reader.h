#pragma once
// Reading QR pictures back in the tests: the uncompressed 24-bit bitmaps the browser
// writes, parsed here independently of the writer, and the codes in a grey picture
// decoded by zbar (raw bytes, no guessing of character sets).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tarvo::test {

struct GreyPicture {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;  // row by row, top row first
};

// The pixels of a bottom-up 24-bit bitmap without compression, as grey; nullopt when
// the bytes are not one or are cut short.
std::optional<GreyPicture> ReadBitmap24(const std::string& bytes);

// The contents of every QR code zbar finds in the picture.
std::vector<std::string> DecodeQrCodes(const GreyPicture& picture);

// A file's whole content; empty when it cannot be read.
std::string ReadWholeFile(const std::string& path);

}  // namespace tarvo::test

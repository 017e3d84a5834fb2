// QR pictures read back: the bitmap's headers byte by byte, its rows and quiet zone,
// and the code decoded by a real decoder (zbar) for the addresses a user meets;
// the limits and failures; and tarvo-cli writing the very same bytes.
#include "protect/qr_code_image.h"

#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "protect/qr_reader.h"
#include "support/temp_dir.h"

namespace tarvo {
namespace {

namespace fs = std::filesystem;
using Status = QrCodeImage::Status;

std::string Le(uint32_t value, int bytes) {
  std::string out;
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
  return out;
}

// The 54 header bytes a 24-bit bottom-up bitmap of side x side pixels must start with.
std::string ExpectedHeaders(uint32_t side) {
  const uint32_t rowBytes = (side * 3 + 3) / 4 * 4;
  const uint32_t pixelBytes = rowBytes * side;
  return "BM" + Le(54 + pixelBytes, 4) + Le(0, 4) + Le(54, 4) +               // file header
         Le(40, 4) + Le(side, 4) + Le(side, 4) + Le(1, 2) + Le(24, 2) +       // info header
         Le(0, 4) + Le(pixelBytes, 4) + Le(2835, 4) + Le(2835, 4) + Le(0, 4) + Le(0, 4);
}

std::string LongAddress(size_t length) {
  std::string address = "https://www.tarvo.test/archive/";
  for (size_t i = 0; address.size() < length; ++i) address += "abcdefghij-_~./"[i % 15];
  return address;
}

class QrCodeImageTest : public ::testing::Test {
 protected:
  std::string PathOf(const char* name) const { return (dir_.path() / name).string(); }
  test::TempDir dir_;
};

TEST_F(QrCodeImageTest, AddressesDecodeBackFromAWellFormedBitmap) {
  const std::string addresses[] = {
      "http://bank.tarvo.test/",
      LongAddress(1000),
      "http://中文.tarvo.test/新闻/今日?标题=银行",
      "https://shop.tarvo.test/search?q=red%20shoes&size=42&sort=price,asc&ids=1,2,3&empty=&x=%E4%B8%AD#top",
  };
  for (const std::string& address : addresses) {
    SCOPED_TRACE(address.substr(0, 60));
    const std::string path = PathOf("qrcode.png");
    const QrCodeImage::Result result = QrCodeImage::WriteFile(address, path);
    ASSERT_EQ(result.status, Status::kOk) << result.detail;
    const std::string bytes = test::ReadWholeFile(path);
    const uint32_t side = static_cast<uint32_t>(result.pixels);
    ASSERT_EQ(bytes.substr(0, 54), ExpectedHeaders(side));
    const uint32_t rowBytes = (side * 3 + 3) / 4 * 4;
    ASSERT_EQ(bytes.size(), 54 + rowBytes * side);
    for (uint32_t row = 0; row < side; ++row) {  // row padding is zero
      for (uint32_t pad = side * 3; pad < rowBytes; ++pad) ASSERT_EQ(bytes[54 + row * rowBytes + pad], '\0');
    }
    // A whole number of 3 to 8 pixels per module, a white quiet zone of four modules.
    QrCodeImage image;
    ASSERT_EQ(QrCodeImage::Encode(address, image), Status::kOk);
    const int scale = static_cast<int>(side) / (image.Modules() + 8);
    EXPECT_EQ(static_cast<int>(side), scale * (image.Modules() + 8));
    EXPECT_GE(scale, 3);
    EXPECT_LE(scale, 8);
    const auto picture = test::ReadBitmap24(bytes);
    ASSERT_TRUE(picture.has_value());
    for (int y = 0; y < picture->height; ++y) {
      for (int x = 0; x < picture->width; ++x) {
        const int quiet = 4 * scale;
        if (x < quiet || y < quiet || x >= picture->width - quiet || y >= picture->height - quiet) {
          ASSERT_EQ(picture->pixels[static_cast<size_t>(y * picture->width + x)], 255) << x << "," << y;
        }
      }
    }
    EXPECT_EQ(test::DecodeQrCodes(*picture), std::vector<std::string>{address});
  }
}

TEST_F(QrCodeImageTest, TheLargestCodeFitsAndOneByteMoreIsRefusedWithoutAnOldPicture) {
  const std::string largest(2953, 'q');  // byte mode at error correction L, version 40
  const QrCodeImage::Result fits = QrCodeImage::WriteFile(largest, PathOf("qrcode.png"));
  ASSERT_EQ(fits.status, Status::kOk);
  EXPECT_EQ(fits.pixels, (177 + 8) * 3);
  const auto picture = test::ReadBitmap24(test::ReadWholeFile(PathOf("qrcode.png")));
  ASSERT_TRUE(picture.has_value());
  EXPECT_EQ(test::DecodeQrCodes(*picture), std::vector<std::string>{largest});

  EXPECT_EQ(QrCodeImage::WriteFile(largest + "q", PathOf("qrcode.png")).status, Status::kTooLong);
  EXPECT_FALSE(fs::exists(PathOf("qrcode.png")));
}

TEST_F(QrCodeImageTest, FailuresSayWhyAndLeaveNothingBehind) {
  const QrCodeImage::Result missingFolder = QrCodeImage::WriteFile("http://a.test/", PathOf("gone/qrcode.png"));
  EXPECT_EQ(missingFolder.status, Status::kWriteFailed);
  EXPECT_EQ(missingFolder.detail, "No such file or directory");
  fs::create_directory(dir_.path() / "locked");
  fs::permissions(dir_.path() / "locked", fs::perms::owner_read | fs::perms::owner_exec);
  if (getuid() != 0) {  // root writes anyway
    EXPECT_EQ(QrCodeImage::WriteFile("http://a.test/", PathOf("locked/qrcode.png")).status, Status::kWriteFailed);
  }
  fs::permissions(dir_.path() / "locked", fs::perms::owner_all);
  EXPECT_EQ(QrCodeImage::WriteFile("", PathOf("qrcode.png")).status, Status::kEmpty);
  EXPECT_EQ(QrCodeImage::WriteFile(std::string("http://a\0b/", 11), PathOf("qrcode.png")).status,
            Status::kEncodeFailed);
  for (const auto& entry : fs::recursive_directory_iterator(dir_.path())) {
    EXPECT_FALSE(entry.is_regular_file()) << entry.path();
  }
}

TEST_F(QrCodeImageTest, TheCommandLineWritesTheSameBytes) {
  const std::string cli = (fs::current_path() / "tarvo-cli").string();
  ASSERT_TRUE(fs::exists(cli)) << "build tarvo-cli";
  const std::string address = "http://中文.tarvo.test/a?b=c&d=e";
  ASSERT_EQ(QrCodeImage::WriteFile(address, PathOf("window.png")).status, Status::kOk);
  const int status = std::system((cli + " qr '" + address + "' " + PathOf("cli.bmp") + " >/dev/null").c_str());
  ASSERT_EQ(WEXITSTATUS(status), 0);
  EXPECT_EQ(test::ReadWholeFile(PathOf("cli.bmp")), test::ReadWholeFile(PathOf("window.png")));
  const int tooLong = std::system((cli + " qr " + std::string(3000, 'q') + " " + PathOf("x.bmp") + " 2>/dev/null").c_str());
  EXPECT_EQ(WEXITSTATUS(tooLong), 1);
}

}  // namespace
}  // namespace tarvo

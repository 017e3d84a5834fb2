// QR pictures read back: the bitmap's headers byte by byte, and the code decoded by a
// real decoder (zbar) for the addresses a user meets;
// the limits and failures.
#include "protect/qr_code_image.h"

#include <unistd.h>

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
    ASSERT_EQ(bytes.size(), 54 + (side * 3 + 3) / 4 * 4 * side);
    const auto picture = test::ReadBitmap24(bytes);
    ASSERT_TRUE(picture.has_value());
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

}  // namespace
}  // namespace tarvo

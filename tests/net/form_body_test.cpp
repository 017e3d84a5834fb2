#include "net/form_body.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

TEST(FormBodyTest, KeepsFieldOrderAndEncodesEveryReservedByte) {
  FormBody body;
  body.Add("username", u"a&b=c").Add("password", u"p+ss wörd%").Add("type", "PC").Add("id", int64_t{-42});
  EXPECT_EQ(body.text(), "username=a%26b%3Dc&password=p%2Bss+w%C3%B6rd%25&type=PC&id=-42");
  EXPECT_EQ(body.Wide(), AsciiToWide(body.text()));

  // Base64 values and JSON documents survive the trip.
  EXPECT_EQ(FormBody::Encode("ab+/cd=="), "ab%2B%2Fcd%3D%3D");
  EXPECT_EQ(FormBody::Encode("[1,2]"), "%5B1%2C2%5D");
  EXPECT_EQ(FormBody::Encode("safe-._*AZaz09"), "safe-._*AZaz09");
  EXPECT_EQ(FormBody::Encode(std::string("\0\r\n", 3)), "%00%0D%0A");
  EXPECT_EQ(FormBody().text(), "");
}

}  // namespace
}  // namespace tarvo

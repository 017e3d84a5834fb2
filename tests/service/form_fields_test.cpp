#include "service/form_fields.h"

#include <gtest/gtest.h>

namespace tarvo::service {
namespace {

TEST(FormFields, DecodesEncodedAndLeavesBrokenEscapesAlone) {
  const FormFields form = FormFields::Parse("name=a%26b%3Dc+d&utf=%E4%BD%A0&odd=50%&bad=%zz&empty=&flag");
  EXPECT_EQ(form.Get("name"), "a&b=c d");
  EXPECT_EQ(form.Get("utf"), "你");
  EXPECT_EQ(form.Get("odd"), "50%");
  EXPECT_EQ(form.Get("bad"), "%zz");
  EXPECT_EQ(form.Get("empty"), "");
  EXPECT_EQ(form.Get("flag"), "");
  EXPECT_EQ(form.Get("missing"), std::nullopt);
}

TEST(FormFields, FirstOccurrenceWinsAndValuesMayHoldEquals) {
  const FormFields form = FormFields::Parse("a=1&a=2&b==x=");
  EXPECT_EQ(form.Get("a"), "1");
  EXPECT_EQ(form.Get("b"), "=x=");
}

TEST(FormFields, RawTailRecoversAnUnencodedLastValue) {
  const FormFields form = FormFields::Parse(R"(token=t&brand=B&data={"url":"http://x/?a=1&b=2"})");
  EXPECT_EQ(form.Get("data"), R"({"url":"http://x/?a=1)");
  EXPECT_EQ(form.RawTail("data"), R"({"url":"http://x/?a=1&b=2"})");
  EXPECT_EQ(FormFields::Parse("xdata=1&data=2").RawTail("data"), "2") << "only whole field names match";
  EXPECT_EQ(FormFields::Parse("a=1").RawTail("data"), std::nullopt);
}

}  // namespace
}  // namespace tarvo::service

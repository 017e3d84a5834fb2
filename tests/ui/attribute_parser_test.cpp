// The attribute syntax shared by skin files and run-time attribute strings.
#include "ui/attribute_parser.h"

#include <gtest/gtest.h>

#include "ui/image_attribute.h"

namespace DuiLib {
namespace {

AttributeList Parse(const char* text) { return CAttributeParser::ParseList(QString::fromUtf8(text)); }

// Pairs split with nested single quotes kept; blanks, empty values and a leading
// blank tolerated; quotes inside user text survive; malformed pairs skipped one by one.
TEST(AttributeParserTest, SplitsPairsKeepsQuotesAndSkipsMalformedOnes) {
  auto list = Parse("name=\"major\" width=\"216\" bkimage=\"file='Dialog\\menu_bk.png' corner='5,5,5,5'\" major=\"true\"");
  ASSERT_EQ(list.size(), 4u);
  EXPECT_EQ(list[0], (std::pair<QString, QString>{"name", "major"}));
  EXPECT_EQ(list[2].second, QStringLiteral("file='Dialog\\menu_bk.png' corner='5,5,5,5'"));
  EXPECT_EQ(list[3].second, QStringLiteral("true"));

  // The favicon label string of the favourites bar starts with a blank.
  list = Parse(" pos=\"2,2,0,0\" width=\"16\"  height = \"16\" tooltip=\"\" width=\"\"");
  ASSERT_EQ(list.size(), 5u);
  EXPECT_EQ(list[2].first, QStringLiteral("height"));
  EXPECT_EQ(list[3].second, QString());
  EXPECT_EQ(list[4].second, QString());

  // A favourite named  He said "hi"  formatted into text="%s".
  list = Parse("text=\"He said \"hi\" twice\" tag=\"7\"");
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].second, QStringLiteral("He said \"hi\" twice"));
  EXPECT_EQ(list[1].second, QStringLiteral("7"));

  // "=x" has no name, "broken" no '=', "novalue=" swallows nothing harmful; the good
  // pairs around them still apply, and the unterminated value is dropped.
  std::vector<QString> names;
  for (const auto& [n, v] : Parse("=\"x\" broken width=\"10\" novalue= height=20 text=\"unterminated")) names.push_back(n);
  EXPECT_NE(std::find(names.begin(), names.end(), QStringLiteral("width")), names.end());
  EXPECT_NE(std::find(names.begin(), names.end(), QStringLiteral("height")), names.end());
  EXPECT_EQ(std::find(names.begin(), names.end(), QStringLiteral("text")), names.end());
  for (const char* nothing : {"", "\"\"\"\"", "==="}) EXPECT_TRUE(Parse(nothing).empty()) << nothing;
}

TEST(AttributeParserTest, ValuesReadAsRectsSizesColoursFlags) {
  EXPECT_EQ(CAttributeParser::ParseRect("96, 6, 0, 0"), (RECT{96, 6, 0, 0}));
  EXPECT_EQ(CAttributeParser::ParseRect("4,9"), (RECT{4, 9, 0, 0}));
  EXPECT_FALSE(CAttributeParser::ParseRect("a,b,c,d").has_value());
  EXPECT_FALSE(CAttributeParser::ParseRect("1,2,3,4,5").has_value());
  EXPECT_EQ(CAttributeParser::ParseSize("312,40"), (SIZE{312, 40}));
  EXPECT_FALSE(CAttributeParser::ParseSize("312").has_value());
  EXPECT_EQ(CAttributeParser::ParseColor("#FF606060")->rgba(), 0xFF606060u);
  EXPECT_EQ(CAttributeParser::ParseColor("#FFCCCCCC")->rgba(), 0xFFCCCCCCu);
  // Six digits are an opaque colour, not an invisible one.
  EXPECT_EQ(CAttributeParser::ParseColor("#FF0000")->rgba(), 0xFFFF0000u);
  EXPECT_EQ(CAttributeParser::ParseColor("0xFF00FF00")->rgba(), 0xFF00FF00u);
  EXPECT_FALSE(CAttributeParser::ParseColor("#12345").has_value());
  EXPECT_FALSE(CAttributeParser::ParseColor("#GGGGGGGG").has_value());
  EXPECT_EQ(CAttributeParser::ParseBool("TRUE"), true);
  EXPECT_EQ(CAttributeParser::ParseBool("0"), false);
  EXPECT_FALSE(CAttributeParser::ParseBool("yes").has_value());
}

TEST(ImageSpecTest, ReadsKeyedFormsAndBareNames) {
  const CImageAttribute keyed = CImageAttribute::Parse("file='Dialog\\menu_bk.png' corner='5,5,5,5' source='0,0,10,10' dest='1,2,3,4' fade='128'");
  EXPECT_EQ(keyed.file, QStringLiteral("Dialog\\menu_bk.png"));
  EXPECT_EQ(keyed.corner, (RECT{5, 5, 5, 5}));
  EXPECT_TRUE(keyed.hasSource);
  EXPECT_EQ(keyed.dest, (RECT{1, 2, 3, 4}));
  EXPECT_EQ(keyed.fade, 128);
  EXPECT_EQ(CImageAttribute::Parse("Tabbar\\hot_bg.png").file, QStringLiteral("Tabbar\\hot_bg.png"));
  // A cached icon under a path with blanks, as the favourites bar builds it.
  EXPECT_EQ(CImageAttribute::Parse("file='/home/a b/.local/share/TarvoBrowser/Picture/x.ico'").file,
            QStringLiteral("/home/a b/.local/share/TarvoBrowser/Picture/x.ico"));
  EXPECT_EQ(CImageAttribute::Parse("file='a.png' corner='x'").corner, RECT{});
  EXPECT_TRUE(CImageAttribute::Parse("").IsEmpty());
  EXPECT_EQ(CImageAttribute::Parse("file='unterminated").file, QStringLiteral("file='unterminated"));
}

}  // namespace
}  // namespace DuiLib

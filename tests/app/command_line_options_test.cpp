#include "app/command_line_options.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

CommandLineOptions Parse(std::vector<std::string> arguments) {
  arguments.insert(arguments.begin(), "/opt/tarvo/tarvo-browser");
  return CommandLineOptions::Parse(arguments);
}

TEST(CommandLineOptionsTest, NoArgumentsOpensTheHomePageAndAllowsUpdates) {
  const auto options = Parse({});
  EXPECT_TRUE(options.checkUpdates);
  EXPECT_FALSE(options.setDefault);
  EXPECT_TRUE(options.startUrls.empty());
  EXPECT_TRUE(CommandLineOptions::Parse({}).startUrls.empty()) << "even without a program name";
}

TEST(CommandLineOptionsTest, UrlOptionTakesTheNextArgumentAndDisablesUpdates) {
  const auto options = Parse({"-url", "http://a.example/", "b.example"});
  EXPECT_FALSE(options.checkUpdates);
  EXPECT_EQ(options.startUrls, (std::vector<WString>{u"http://a.example/", u"b.example"}));
  // "-url" as the option's own argument is an address, not a second option.
  EXPECT_EQ(Parse({"-url", "-url"}).startUrls, (std::vector<WString>{u"-url"}));
}

TEST(CommandLineOptionsTest, TrailingUrlOptionDoesNothing) {
  const auto options = Parse({"-url"});
  EXPECT_TRUE(options.startUrls.empty());
  EXPECT_TRUE(options.checkUpdates) << "the pending installer may still start";
}

TEST(CommandLineOptionsTest, NoUpdateWithAnAddressOpensItWithoutUpdates) {
  const auto options = Parse({"-noupdate", "http://x.example/"});
  EXPECT_FALSE(options.checkUpdates);
  EXPECT_EQ(options.startUrls, (std::vector<WString>{u"http://x.example/"}));
}

TEST(CommandLineOptionsTest, SetAsDefaultIsRecordedAlongsideAddresses) {
  const auto options = Parse({"-setasdefault", "http://x.example/"});
  EXPECT_TRUE(options.setDefault);
  EXPECT_EQ(options.startUrls.size(), 1u);
}

TEST(CommandLineOptionsTest, OptionsAreCaseSensitive) {
  const auto options = Parse({"-URL", "http://x.example/", "-NoUpdate"});
  EXPECT_EQ(options.startUrls, (std::vector<WString>{u"-URL", u"http://x.example/", u"-NoUpdate"}));
  EXPECT_FALSE(options.checkUpdates);
}

TEST(CommandLineOptionsTest, AddressesKeepTheirBytes) {
  const auto options = Parse({"http://例子.测试/路径?q=a b&c=\"d\""});
  EXPECT_EQ(options.startUrls[0], u"http://例子.测试/路径?q=a b&c=\"d\"");
}

}  // namespace
}  // namespace tarvo

#include "settings/command_line_options.h"

#include <gtest/gtest.h>

namespace tarvo {
namespace {

struct Case {
  std::vector<std::string> arguments;  // after the program name
  std::vector<WString> startUrls;
  bool checkUpdates;
  bool setDefault;
  const char* why;
  bool newWindow = false;
};

TEST(CommandLineOptionsTest, ArgumentsGiveAddressesAndFlags) {
  const Case cases[] = {
      {{}, {}, true, false, "no arguments: the home page, updates allowed"},
      {{"-url", "http://a.example/", "b.example"}, {u"http://a.example/", u"b.example"}, false, false,
       "-url takes the next argument and disables updates"},
      {{"-url", "-url"}, {u"-url"}, false, false, "-url as the option's own argument is an address"},
      {{"-url"}, {}, true, false, "a trailing -url does nothing: the pending installer may still start"},
      {{"-noupdate", "http://x.example/"}, {u"http://x.example/"}, false, false, "-noupdate is no address"},
      {{"-setasdefault", "http://x.example/"}, {u"http://x.example/"}, false, true, "recorded beside addresses"},
      {{"-newwindow", "http://x.example/"}, {u"http://x.example/"}, false, false, "a window of their own", true},
      {{"-newwindow"}, {}, true, false, "a new window on the home page", true},
      {{"-URL", "http://x.example/", "-NoUpdate"}, {u"-URL", u"http://x.example/", u"-NoUpdate"}, false, false,
       "options are case-sensitive"},
      {{"http://例子.测试/路径?q=a b&c=\"d\""}, {u"http://例子.测试/路径?q=a b&c=\"d\""}, false, false,
       "addresses keep their bytes"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    arguments.insert(arguments.begin(), "/opt/tarvo/tarvo-browser");
    const CommandLineOptions options = CommandLineOptions::Parse(arguments);
    EXPECT_EQ(options.startUrls, c.startUrls) << c.why;
    EXPECT_EQ(options.checkUpdates, c.checkUpdates) << c.why;
    EXPECT_EQ(options.setDefault, c.setDefault) << c.why;
    EXPECT_EQ(options.newWindow, c.newWindow) << c.why;
  }
  EXPECT_TRUE(CommandLineOptions::Parse({}).startUrls.empty()) << "even without a program name";
}

}  // namespace
}  // namespace tarvo

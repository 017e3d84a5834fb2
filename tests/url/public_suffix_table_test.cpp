#include "url/public_suffix_table.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>

#include "store/test_database.h"
#include "suffix_table/suffix_list_reader.h"

namespace tarvo {
namespace {

const PublicSuffixTable& Table() { return PublicSuffixTable::Instance(); }

// Both lookups, which must always agree.
void ExpectDomain(std::string_view host, std::string_view expected) {
  EXPECT_EQ(Table().RegistrableDomain(host), expected) << host;
  EXPECT_EQ(Table().RegistrableDomainByLinearWalk(host), expected) << host;
}

TEST(PublicSuffixTable, HoldsEveryRuleOfTheSystemListLongestFirst) {
  std::ifstream in("/usr/share/publicsuffix/public_suffix_list.dat");
  SuffixListReader reader;
  std::string error;
  ASSERT_TRUE(reader.Read(in, error)) << error;
  ASSERT_EQ(Table().size(), reader.rules().size());
  std::set<std::string_view> generated;
  size_t previous = SIZE_MAX;
  for (const PublicSuffixEntry& entry : Table().entries()) {
    EXPECT_LE(entry.length, previous);
    previous = entry.length;
    generated.emplace(entry.text, entry.length);
  }
  for (const std::string& rule : reader.rules()) EXPECT_TRUE(generated.contains(rule)) << rule;
  // Both sections, with wildcard and exception rules as plain text.
  for (const char* rule : {"com", "com.cn", "blogspot.com", "*.ck", "!www.ck", "公司.cn"}) {
    EXPECT_TRUE(generated.contains(rule)) << rule;
  }
}

TEST(PublicSuffixTable, ReaderKeepsRulesNotCommentsAndRefusesAnEmptyList) {
  std::istringstream list("// comment\n\ncom\n  *.ck  trailing words\n!www.ck\r\ncom\nco.uk\n");
  SuffixListReader reader;
  std::string error;
  ASSERT_TRUE(reader.Read(list, error));
  EXPECT_EQ(reader.rules(), (std::vector<std::string>{"com", "*.ck", "!www.ck", "co.uk"}));
  EXPECT_EQ(reader.RulesLongestFirst(), (std::vector<std::string>{"!www.ck", "co.uk", "*.ck", "com"}));
  std::istringstream empty("// nothing here\n");
  EXPECT_FALSE(reader.Read(empty, error));
  EXPECT_FALSE(error.empty());
}

TEST(PublicSuffixTable, LiteralRuleOnThePublicSuffixListCases) {
  std::istringstream cases(test::ReadTestData("url/psl_literal.txt"));
  std::string line;
  int checked = 0;
  while (std::getline(cases, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    std::string host;
    std::string expected;
    fields >> host >> expected;
    ExpectDomain(host == "(empty)" ? "" : host, expected == "(empty)" ? "" : expected);
    ++checked;
  }
  EXPECT_EQ(checked, 78);
}

TEST(PublicSuffixTable, OddHostsGiveTheSameAnswerBothWays) {
  ExpectDomain("a.b.c.example.co.uk", "example.co.uk");
  ExpectDomain("co.uk", "co.uk");
  ExpectDomain("x.co.uk", "x.co.uk");
  ExpectDomain("example.com.", "example.com.");
  ExpectDomain("a..com", ".com");
  ExpectDomain("..", "..");
  ExpectDomain(".", ".");
  ExpectDomain("a.*.ck", "a.*.ck");  // a wildcard rule matches its own literal text
  ExpectDomain("x.a.*.ck", "a.*.ck");
  ExpectDomain("192.168.1.20", "192.168.1.20");
  ExpectDomain("host:8080", "host:8080");
  ExpectDomain(std::string(300, 'a') + ".com", std::string(300, 'a') + ".com");
  ExpectDomain(std::string_view("\xff\xfe.com", 6), std::string_view("\xff\xfe.com", 6));
}

TEST(PublicSuffixTable, HashLookupAgreesWithTheLinearWalkOnEveryRule) {
  // Every rule with one, two and three labels in front, and bare: each boundary
  // case of the longest-match rule.
  for (const PublicSuffixEntry& entry : Table().entries()) {
    const std::string rule(entry.text, entry.length);
    for (const std::string& host : {rule, "a." + rule, "b.a." + rule, "c.b.a." + rule, "." + rule}) {
      ASSERT_EQ(Table().RegistrableDomain(host), Table().RegistrableDomainByLinearWalk(host)) << host;
    }
  }
}

}  // namespace
}  // namespace tarvo

#include "store/test_database.h"

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace tarvo::test {

TestDatabase::TestDatabase() {
  if (database_.OpenFile(path().string()) != 0 || database_.Upgrade() != 0) {
    throw std::runtime_error("cannot create the test database: " + database_.OpenError());
  }
}

std::string TestDatabase::Scalar(const std::string& sql) {
  QueryTable table;
  database_.Query(sql, {}, &table);
  return table.Text(0, 0);
}

std::vector<WString> AwkwardTexts() {
  return {u"it's", u"'; drop table info; --", u"100% %s %d", u"C:\\dir\\file", u"line one\nline two\r\n",
          u"\"double\"", u"银行 ü é", u"\U0001F600 emoji", u"\x01control", u""};
}

std::string ReadTestData(const std::filesystem::path& relative) {
  const char* root = std::getenv("TARVO_TEST_DATA");
  const std::filesystem::path path = std::filesystem::path(root != nullptr ? root : "tests/data") / relative;
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("missing test data " + path.string());
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

}  // namespace tarvo::test

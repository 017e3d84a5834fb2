#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "store/user_database.h"
#include "support/temp_dir.h"

namespace tarvo::test {

// A user database in a temporary folder, opened and upgraded to the current
// version, removed with its folder afterwards.
class TestDatabase {
 public:
  TestDatabase();

  UserDatabase& db() { return database_; }
  std::filesystem::path path() const { return folder_.path() / "kx.dat"; }
  const TempDir& folder() const { return folder_; }

  // The single value of a one-cell query ("" when there is no row).
  std::string Scalar(const std::string& sql);

 private:
  TempDir folder_;
  UserDatabase database_;
};

// Texts that break naively built statements: quotes, "%", backslashes, newlines,
// non-ASCII letters, an emoji, a NUL-free control byte and the empty text.
std::vector<WString> AwkwardTexts();

// The text of a fixture under tests/data (TARVO_TEST_DATA).
std::string ReadTestData(const std::filesystem::path& relative);

}  // namespace tarvo::test

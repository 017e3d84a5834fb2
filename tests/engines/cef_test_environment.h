#pragma once

#include <QString>
#include <functional>
#include <string>
#include <vector>

namespace tarvo::test {

// What the Chromium test program's main set up once for every test.
// Threads: GUI thread.
struct CefTestEnvironment {
  static CefTestEnvironment& Instance() {
    static CefTestEnvironment environment;
    return environment;
  }
  QString data_root;
  bool initialised = false;
  bool cookie_store_set = false;
  // The certificate lookup the layer was given asks this (tests set it).
  std::function<std::string(const std::string& url)> mirror_for_certificate_error;
  std::vector<std::string> certificate_questions;
};

}  // namespace tarvo::test

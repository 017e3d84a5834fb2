#pragma once

#include <string>

namespace tarvo {

// A shared library opened while the program runs, not with it: for libraries that
// only some runs or some threads need, and whose loading (their own dependencies,
// relocations and initialisers) would otherwise delay every start. It is never
// closed again: its code may still run on other threads while the process ends.
class RuntimeLibrary {
 public:
  // Opens the library by its shared-object name ("libcurl.so.4"), with its symbols
  // kept out of the program's global look-up.
  explicit RuntimeLibrary(const char* soname);

  bool opened() const { return handle_ != nullptr; }
  // Why opening the library or finding a symbol failed.
  const std::string& error() const { return error_; }

  // Points `function` at the library's symbol `name`; false (and error() says which
  // symbol) when the library lacks it.
  template <typename Function>
  bool Find(const char* name, Function*& function) {
    function = reinterpret_cast<Function*>(Address(name));
    return function != nullptr;
  }

 private:
  void* Address(const char* name);

  void* handle_ = nullptr;
  std::string error_;
};

}  // namespace tarvo

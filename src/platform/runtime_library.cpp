#include "platform/runtime_library.h"

#include <dlfcn.h>

namespace tarvo {

namespace {

std::string LastLoaderError(const std::string& fallback) {
  const char* text = dlerror();
  return text != nullptr ? std::string(text) : fallback;
}

}  // namespace

RuntimeLibrary::RuntimeLibrary(const char* soname) {
  handle_ = dlopen(soname, RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
  if (handle_ == nullptr) {
    error_ = LastLoaderError(std::string(soname) + " could not be opened");
  }
}

void* RuntimeLibrary::Address(const char* name) {
  if (handle_ == nullptr) {
    return nullptr;
  }
  dlerror();
  void* address = dlsym(handle_, name);
  if (address == nullptr) {
    error_ = LastLoaderError(std::string("no symbol ") + name);
  }
  return address;
}

}  // namespace tarvo

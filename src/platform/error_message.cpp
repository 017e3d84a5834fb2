#include "platform/error_message.h"

#include <cstdio>

namespace tarvo {

ErrorMessage::Presenter& ErrorMessage::CurrentPresenter() {
  static Presenter* presenter = new Presenter();
  return *presenter;
}

void ErrorMessage::InstallPresenter(Presenter presenter) { CurrentPresenter() = std::move(presenter); }

void ErrorMessage::Show(const std::string& text) {
  std::fprintf(stderr, "Error: %s\n", text.c_str());
  std::fflush(stderr);
  if (const Presenter& presenter = CurrentPresenter()) {
    presenter("Error", text);
  }
}

}  // namespace tarvo

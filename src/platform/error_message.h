#pragma once

#include <functional>
#include <string>

namespace tarvo {

// Shows a start-up failure to the user before any browser window exists. The text
// always goes to standard error; the GUI side installs a presenter at start-up that
// also shows it in a message box with the caption "Error".
//
// Threads: the presenter is installed on the first thread before other threads
// start; ShowErrorMessage is called on the first thread.
class ErrorMessage {
 public:
  using Presenter = std::function<void(const std::string& caption, const std::string& text)>;

  static void InstallPresenter(Presenter presenter);
  static void Show(const std::string& text);

 private:
  static Presenter& CurrentPresenter();
};

}  // namespace tarvo

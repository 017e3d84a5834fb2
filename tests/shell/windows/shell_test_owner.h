#pragma once
// A main-window stand-in for the shell's window tests: a skinned window that
// records every message posted to it with its parameters.
#include <vector>

#include "platform/text.h"
#include "shell/commands/main_window_messages.h"
#include "ui_test_support.h"

namespace tarvo::test {

struct PostedMessage {
  DuiLib::UINT msg = 0;
  DuiLib::WPARAM wParam = 0;
  DuiLib::LPARAM lParam = 0;
};

class ShellTestOwner : public TestWindow {
 public:
  using TestWindow::TestWindow;

  DuiLib::LRESULT MessageHandler(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                 bool& bHandled) override {
    if (uMsg >= DuiLib::WM_USER || uMsg == DuiLib::WM_COMMAND || uMsg == DuiLib::WM_CLOSE) {
      posted.push_back({uMsg, wParam, lParam});
      if (uMsg == DuiLib::WM_CLOSE && keepOpen) {
        bHandled = true;
        return 0;
      }
    }
    return TestWindow::MessageHandler(uMsg, wParam, lParam, bHandled);
  }

  // The command numbers of the WM_COMMAND messages with high word 1, in order.
  std::vector<unsigned> Commands() const {
    std::vector<unsigned> out;
    for (const auto& p : posted) {
      if (p.msg == DuiLib::WM_COMMAND && DuiLib::HiWord(p.wParam) == 1) out.push_back(DuiLib::LoWord(p.wParam));
    }
    return out;
  }
  size_t Count(DuiLib::UINT msg) const {
    size_t n = 0;
    for (const auto& p : posted) n += p.msg == msg ? 1 : 0;
    return n;
  }

  std::vector<PostedMessage> posted;
  bool keepOpen = true;  // WM_CLOSE is recorded, not acted on
};

}  // namespace tarvo::test

#pragma once
// A test's stand-in for the user in front of message boxes. Main thread only.
#include <QTimer>

#include "shown_windows.h"

namespace tarvo::test {

// Answers every message box that shows with OK, as a user would, while it lives.
class MessageBoxAnswerer {
 public:
  MessageBoxAnswerer() {
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      if (DuiLib::WindowImplBase* box = ShownWindowOf(QStringLiteral("KXMessageBox"))) {
        ++answered;
        ClickControl(*box, QStringLiteral("ensure_btn"));
      }
    });
    timer_.start(100);
  }
  int answered = 0;

 private:
  QTimer timer_;
};

}  // namespace tarvo::test

#pragma once
// What a tab shows in place of its page when the page's renderer died: a picture, a
// heading and a word on what happened, in the interface language, and a button that
// loads the page again. It takes the page's place in the body bar until the page
// loads again.
//
// Threads: GUI thread only. Lifetime: owned by its page; a child of the body bar
// while shown there.
#include <QWidget>
#include <functional>

class QPushButton;

namespace tarvo {

class CrashedPageNotice : public QWidget {
  Q_OBJECT
 public:
  static constexpr const char* kObjectName = "crashedPageNotice";
  static constexpr const char* kReloadName = "crashedPageReload";

  // `reload` runs when the user presses the button.
  explicit CrashedPageNotice(std::function<void()> reload);

  QPushButton* ReloadButton() const { return reload_; }

 private:
  QPushButton* reload_ = nullptr;  // a child of this widget
};

}  // namespace tarvo

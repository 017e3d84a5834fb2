#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "shell/pages/i_login_forms.h"

class QWebChannel;
class QWebEnginePage;

namespace tarvo {

class ITabBody;
class LoginFormEvents;

// The log-in forms of one Chromium page: the log-in form script runs in the browser's
// own script world from each document's creation (the page's scripts can neither see
// nor call it, nor the channel it reports through), and its reports come back over a
// web channel registered for that world only; fills go the same way. A page off the
// record gets none of it, so a private window never offers nor fills.
//
// Threads: the GUI thread. Lifetime: owned by the page's body (`body` and `events`
// outlive it); the engine page may go first.
class ChromiumLoginForms : public QObject, public ILoginForms {
  Q_OBJECT
 public:
  // The forms of `page` reported for `body`'s page to `events`; nullptr for a page off
  // the record or without one.
  static std::unique_ptr<ChromiumLoginForms> Make(QWebEnginePage* page, ITabBody& body, LoginFormEvents& events);
  ~ChromiumLoginForms() override;

  void Fill(int formId, const WString& frameOrigin, const WString& username, const WString& password) override;
  QRect ScreenRect(const QRect& pageRect) const override;

  // The channel's one entry: a report of the script.
  Q_INVOKABLE void report(const QString& message);

 private:
  ChromiumLoginForms(QWebEnginePage* page, ITabBody& body, LoginFormEvents& events);

  QPointer<QWebEnginePage> page_;
  ITabBody& body_;
  LoginFormEvents& events_;
  QWebChannel* channel_ = nullptr;  // owned: a child of this object
};

}  // namespace tarvo

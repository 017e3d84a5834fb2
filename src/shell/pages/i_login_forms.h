#pragma once

#include <QRect>
#include <QWidget>

#include "platform/text.h"

namespace tarvo {

class Page;

// What the log-in form script of a page reports (LoginFormScript), after the engine
// has checked that it comes from the page's own origin: the page's main frame or a
// frame of the same origin, never a frame of another origin or a hidden one.
struct LoginFormReport {
  enum class Kind {
    kSeen,     // a log-in form (one password field) is in the page
    kFocused,  // the user went into its user-name or password field (pointer or keyboard)
    kSent,     // it was sent (submitted, its button clicked, Enter in a field)
  };
  Kind kind = Kind::kSeen;
  QString document;      // names the page load the form belongs to
  WString frameOrigin;   // scheme://host[:port] of the frame holding the form
  bool mainFrame = true;
  int formId = 0;        // the script's number of the form, for Fill
  int loginForms = 0;    // how many log-in forms the page holds now
  bool visible = false;  // its fields can be seen
  QRect field;           // the user-name field (or else the password field), in the page's CSS pixels
  WString username;      // kSent only
  WString password;      // kSent only
};

// The log-in forms of one engine body: what the browser may do with them. Each engine
// implements it beside its body (ITabBody::LoginForms).
//
// Threads: the GUI thread. Lifetime: the body's.
class ILoginForms {
 public:
  virtual ~ILoginForms() = default;

  // Puts `username` and `password` into the form `formId` when the frame holding it
  // is still at `frameOrigin` and its fields can be seen; nothing otherwise.
  virtual void Fill(int formId, const WString& frameOrigin, const WString& username, const WString& password) = 0;
  // A rectangle of the page's CSS pixels on the screen (the page's zoom applied).
  virtual QRect ScreenRect(const QRect& pageRect) const = 0;
};

// Where `pageRect` (CSS pixels of a page shown at `zoom` in `view`) is on the screen.
inline QRect PageRectOnScreen(const QWidget& view, const QRect& pageRect, double zoom) {
  const QRect scaled(static_cast<int>(pageRect.x() * zoom), static_cast<int>(pageRect.y() * zoom),
                     static_cast<int>(pageRect.width() * zoom), static_cast<int>(pageRect.height() * zoom));
  return QRect(view.mapToGlobal(scaled.topLeft()), scaled.size());
}

// Hears the log-in form reports of every engine (the saved-passwords feature).
//
// Threads: the GUI thread.
class ILoginFormListener {
 public:
  // `forms` (of a body of `page`) reported.
  virtual void OnLoginForm(Page& page, ILoginForms& forms, const LoginFormReport& report) = 0;
  // `forms` goes with its body: nothing may be asked of it any more.
  virtual void OnLoginFormsGone(const ILoginForms& forms) = 0;

 protected:
  ~ILoginFormListener() = default;
};

}  // namespace tarvo

#pragma once

#include <QString>

#include "platform/text.h"

namespace tarvo {

// The log-in form script both engines run in every page, in a script world of the
// browser's own (the page's scripts can neither see it nor call it), from the
// document's creation, in the main frame only: it reaches the frames of the page's
// own origin through their documents and so never enters a frame of another origin,
// and it leaves hidden frames and hidden fields alone. It finds log-in forms (one
// password field, the user-name field before it), including forms added later and
// forms without a form element, and reports, as JSON text through the function
// kReportFunction that the engine defines in the same world first:
//   {"type":"seen"|"focus"|"sent", "document" (names the page load), "origin",
//    "main", "form", "forms", "visible", "field":[x,y,w,h], "username", "password"}
// "sent" comes from the form's submit event, a click on its button and Enter in its
// fields (once for the same values within a few seconds); "focus" from a press of the
// pointer on one of its fields or the keyboard moving into one; only events of the
// user's count, never those a page raises. "visible" asks what the user sees of the
// fields (hit-tested, in the view, not clipped or faded). LoginFormEvents reads the
// reports. Plain ES5, so both engines run it.
class LoginFormScript {
 public:
  // The function (a global of the script's world) that carries a report's text to
  // the browser; each engine defines it before the script runs.
  static constexpr char kReportFunction[] = "__tarvoLoginPost";

  static QString Source();
  // The call that fills a form (see ILoginForms::Fill), run in the script's world;
  // it answers true when it filled.
  static QString FillCall(int formId, const WString& frameOrigin, const WString& username, const WString& password);
  // The call that answers {seen, filled}: performance.now() when the first log-in
  // form was seen and when it was filled (-1 for not yet), for measurements.
  static QString TimingCall();
};

}  // namespace tarvo

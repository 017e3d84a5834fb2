#pragma once

#include <QString>
#include <functional>

#include "engines/webkitgtk/web_browser_events.h"
#include "platform/text.h"

class QImage;
class QPrinter;
class QWidget;

namespace tarvo::ie {

// The compatibility engine's browser control: one web view inside a window of the
// browser, with the WebBrowser control's operations and events. Its page never
// raises script-error dialogs and has no frame border; the engine's own dialogs
// (script alerts, HTTP log-ins) show inside the view.
// Lifetime: owns its view; destroying the control destroys the view. If the
// parent window goes first, the view goes with it and the operations do nothing.
// Threads: GUI thread only. Answers given through callbacks arrive later from the
// event loop, exactly once each, also when the control goes first (then as failures).
class WebBrowserControl {
 public:
  using Done = std::function<void(bool ok)>;
  using TextDone = std::function<void(bool ok, const WString& text)>;
  using PictureDone = std::function<void(const QImage& picture)>;

  virtual ~WebBrowserControl() = default;

  // Non-owning; nullptr silences the events.
  virtual void SetEventSink(WebBrowserEvents* events) = 0;
  virtual WebBrowserEvents* EventSink() const = 0;

  // Each returns 0, or -1 when the view is gone.
  virtual int Navigate(const WString& url) = 0;
  virtual int Refresh() = 0;
  virtual int Stop() = 0;
  // Shows or hides the view.
  virtual void Show(bool visible) = 0;
  // Shows the page at `factor` of its size (1 = 100 %).
  virtual void SetZoomFactor(double factor) = 0;
  virtual double ZoomFactor() const = 0;
  // Selects the next (or previous) match of `text`, wrapping at the document's end,
  // ignoring case; a new text starts a new search.
  virtual void Find(const WString& text, bool backward) = 0;
  // Runs `script` in the top document; the result as text.
  virtual void RunScript(const WString& script, TextDone done) = 0;
  // The same in the script world `world` of the browser's own (see AddPageScript).
  virtual void RunScriptInWorld(const QString& world, const WString& script, TextDone done) = 0;
  // Runs `source` at the start of every document of the top frame, in the script world
  // `world` of the browser's own: the page's scripts can neither see it nor call it.
  // Before it, the world gets the function `postFunction` (a global), which hands its
  // one argument, as text, to `onMessage`. Call once per world, before the first load.
  using MessageHandler = std::function<void(const WString& message)>;
  virtual void AddPageScript(const QString& world, const QString& postFunction, const QString& source,
                             MessageHandler onMessage) = 0;
  // The top document as markup.
  virtual void DocumentSource(TextDone done) = 0;
  // The document paginated on A4 pages, backgrounds printed, into a PDF file at
  // `path`; a path that cannot be written leaves no file and answers false.
  virtual void SaveAsPdf(const WString& path, Done done) = 0;
  // Prints on the printer (or into the file) set up on `printer`, which must stay
  // alive until `done` has been called.
  virtual void Print(QPrinter* printer, Done done) = 0;
  // A picture of the visible part of the page (a null image when none could be made).
  virtual void TakePicture(PictureDone done) = 0;
  // The view's window (non-owning), nullptr when gone. It takes the keyboard focus
  // like any widget; a click into the page gives it the focus.
  virtual QWidget* Window() const = 0;
  // The identity "top" events carry.
  DispatchId Dispatch() const { return this; }
  virtual WString LocationURL() const = 0;
  virtual WString LocationName() const = 0;
};

}  // namespace tarvo::ie

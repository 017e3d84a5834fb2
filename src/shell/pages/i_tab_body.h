#pragma once

#include <functional>

#include "platform/text.h"

class QImage;
class QPrinter;
class QWidget;

namespace tarvo {

class ILoginForms;
class Page;

// What a body can be asked to do beyond loading pages. An engine that lacks one, or a
// body whose engine window does not exist (yet, or any more), says so through
// ITabBody::Supports, and the menus grey the entry out for that tab.
enum class PageOperation {
  kZoom,
  kFind,
  kSaveAsPdf,
  kSaveSource,
  kPrint,
  kPicture,
};

// How far a background body rests. A frozen page keeps its memory and runs nothing;
// a discarded one is let go by the engine, which keeps its address and history and
// loads it again when it is made active.
enum class BodyRest { kActive, kFrozen, kDiscarded };

// The engine body behind a tab, implemented by the Chromium body (TabCefBody) and
// the compatibility body (TabIeBody). A page calls these; the bodies report back
// only through the message bus.
//
// Threads: the main window's thread only. Lifetime: owned by its page.
class ITabBody {
 public:
  // Hears once, on the GUI thread, whether a file was written.
  using Done = std::function<void(bool written)>;
  // Hears once, on the GUI thread, the picture (a null image when none could be made).
  using PictureDone = std::function<void(const QImage& picture)>;

  virtual ~ITabBody() = default;

  // 0. The body's window, or nullptr while the engine window does not exist yet.
  virtual QWidget* GetWindow() = 0;
  // 1. Loads `url`; the two further strings are empty in every shell call. 0 on
  // success, -1 when the body refuses (not ready, no engine window).
  virtual int Navigate(const WString& url, const WString& extra1, const WString& extra2) = 0;
  // 2. Reloads the current document; 0, or -1 when refused.
  virtual int Reload() = 0;
  // 3. Stops loading; 0.
  virtual int Stop() = 0;
  // 4, 5. One zoom step (nothing when kZoom is unsupported).
  virtual void ZoomIn() = 0;
  virtual void ZoomOut() = 0;
  // The zoom level shown now (logarithmic, 0 = 100 %), and setting it at once (a
  // restored tab); a body without zoom stays at 0.
  virtual double CurrentZoomLevel() const { return 0; }
  virtual void SetZoomLevel(double /*level*/) {}
  // 6. Starts a new forward search for `text` (empty text, or kFind unsupported:
  // nothing).
  virtual void FindNext(const WString& text) = 0;
  // 7. Continues the current search backwards (empty text: nothing).
  virtual void FindPrevious(const WString& text) = 0;
  // 8. Shows or hides the body window.
  virtual void Show(bool visible) = 0;
  // 9. A body that is not ready is hidden (and a Chromium body refuses to navigate);
  // a Chromium body made ready again stays hidden until the body bar shows it.
  virtual void SetReady(bool ready) = 0;

  // Whether the body can do `operation` now.
  virtual bool Supports(PageOperation operation) const = 0;
  // Prints the page into a PDF file at `path`. An unsupported body answers false at
  // once; a path that can't be written leaves no file and answers false.
  virtual void SaveAsPdf(const WString& path, Done done) = 0;
  // Writes the page's source, UTF-8 without byte-order mark, to `path`.
  virtual void SaveSource(const WString& path, Done done) = 0;
  // Prints the page on `printer` (set up by the caller's print dialog; non-owning,
  // it must stay alive until `done` has been called).
  virtual void Print(QPrinter* printer, Done done) = 0;
  // A picture of the visible part of the page.
  virtual void TakePicture(PictureDone done) = 0;

  // Sound played lately (such a tab is left awake).
  virtual bool IsAudible() const { return false; }
  // Hears once, on the GUI thread, whether the user changed the page's form fields
  // or typed into its editable text. A page that cannot be asked answers true, so it
  // keeps its state; an engine that never answers leaves the page as it is.
  virtual void AskTypedInto(std::function<void(bool typed)> answer) { answer(true); }
  // Puts the page to rest or wakes it; false when the engine cannot (a body that
  // cannot be discarded is then let go by its page). Only a hidden body rests.
  virtual bool SetRest(BodyRest rest) { return rest == BodyRest::kActive; }
  virtual BodyRest Rest() const { return BodyRest::kActive; }

  // The log-in forms of the page, for the saved passwords; nullptr where the engine
  // does not report them (then nothing is offered or filled in this body).
  virtual ILoginForms* LoginForms() { return nullptr; }

  // The page holding the body (nullptr once the page shuts down). Non-owning.
  virtual void SetOwner(Page* page) = 0;
  virtual Page* GetOwner() const = 0;
  // Ends the body's engine work before the page lets it go: a Chromium body closes
  // its browser (the engine then removes its window), a compatibility body stops.
  // Idempotent.
  virtual void Close() = 0;
};

}  // namespace tarvo

#pragma once
// The native single-line edit inside the address bar. It keeps the user's typing
// apart from the page's address updates (see CAddressEditUI) and turns a few keys
// into the main window's messages:
//   Return      -> the typed handler with the text, queued (it runs once the key
//                  has been handled, as a posted message would)
//   Ctrl+W      -> command kCloseTab
//   Ctrl+H      -> command kHideFavoriteBar
//   Alt+H       -> command kShowFavoriteBar
//   F11         -> command kToggleFullScreen
// They act when the key is released. Their key presses are kept from the window's
// key bindings, so one key stroke gives one command; every other key press is
// offered to the window first (F5, Ctrl+F ... still work while typing).
// The first click after the field gets the focus selects the whole text.
//
// GUI thread only. Owned by its CAddressEditUI; owns its line edit.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

#include "platform/text.h"
#include "ui/ui_defs.h"

class QKeyEvent;
class QLineEdit;
class QWidget;

namespace tarvo {

class CAddressEdit : public QObject {
 public:
  // Offers a key press to the window's key handling; true when consumed.
  using KeyForwarder = std::function<bool(QKeyEvent*)>;
  // Takes the text the user sent with Return, unchanged.
  using TypedHandler = std::function<void(const WString& typed)>;

  // Creates the line edit as a child of `host` (the window's widget), empty.
  // Messages go to the toolkit window `parentWindow`.
  CAddressEdit(DuiLib::HWND parentWindow, QWidget* host, KeyForwarder forwardKey);
  ~CAddressEdit() override;
  CAddressEdit(const CAddressEdit&) = delete;
  CAddressEdit& operator=(const CAddressEdit&) = delete;

  // The line edit (null once Qt destroys it together with its host, also while
  // that destruction runs).
  QLineEdit* GetEdit() const;
  void SetTypedHandler(TypedHandler handler) { typed_ = std::move(handler); }
  // A text the first click clears when the field shows exactly it.
  void SetHintText(const QString& hint) { hint_ = hint; }
  const QString& GetHintText() const { return hint_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The command a key stands for, or 0.
  static unsigned CommandForKey(const QKeyEvent& key);
  bool OnKeyRelease(const QKeyEvent& key);
  bool OnButtonRelease();
  void PostCommand(unsigned command) const;
  void PostTypedText();

  DuiLib::HWND parentWindow_ = 0;
  // Held as a QObject: events still reach the filter while ~QWidget runs, when the
  // object is no longer a QLineEdit and a downcast would be undefined.
  QPointer<QObject> edit_;
  KeyForwarder forwardKey_;
  TypedHandler typed_;
  bool selectAllDone_ = false;
  QString hint_;
};

}  // namespace tarvo

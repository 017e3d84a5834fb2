#pragma once

#include <memory>

#include "ui/box_layout_ui.h"

namespace tarvo {

class TabCloseBtn;
class TabIcon;
class TabLabel;
class TabOption;
class TabStrip;
class TabVpnMark;

// One tab of the strip: a horizontal container (at most 240 pixels wide) holding the
// option (background and click target), the icon, the label and the close button,
// each made from its fixed attribute string.
// Threads: the main window's thread only. Owned by the strip's container once
// inserted, before that by its page.
class Tab : public DuiLib::CHorizontalLayoutUI {
 public:
  // `title` is the label's first text (the language text of "tab/new"). The option
  // stands for the tab to assistive technology: it carries the title as its name.
  explicit Tab(const QString& title);
  QString GetClass() const override { return QStringLiteral("TabUI"); }

  // Sets the selected flag and the "selected" attribute of all four parts.
  void SetSelected(bool selected);
  bool IsSelected() const { return selected_; }
  // Pins (moved behind the other pinned tabs, 26 pixels wide, no close button) or
  // unpins (moved to the front of the unpinned tabs, width free, close button back).
  // Nothing happens when the state does not change.
  void SetPinned(bool pinned);
  bool IsPinned() const { return pinned_; }
  void SetTitle(const QString& title);
  QString GetTitle() const;
  // `imageAttributes`: the icon's image attributes in skin syntax, for example
  // "normalimage=\"file='...'\" selectedimage=\"file='...'\"".
  void SetIcon(const QString& imageAttributes);
  // The image attributes the icon shows now.
  const QString& IconImages() const { return iconImages_; }
  // Shows the file as the icon in both states; the default icon when the file is no
  // picture.
  void SetIconFile(const QString& file);
  // Shows or hides the mark of a page the VPN does not carry; `why` becomes the
  // tooltip of the mark and of the whole tab.
  void SetVpnMark(bool shown, const QString& why);
  bool HasVpnMark() const;
  // Draws the tab for a private window's dark tab row (light text and close button,
  // dark hover, its own selected colour).
  void UsePrivateLook();

  TabOption* Option() const { return option_; }
  TabIcon* Icon() const { return icon_; }
  TabLabel* Label() const { return label_; }
  TabCloseBtn* CloseButton() const { return close_; }

  // The strip the tab sits in (set by the strip), or nullptr. Non-owning.
  TabStrip* Strip() const { return strip_; }
  void SetStrip(TabStrip* strip) { strip_ = strip; }
  // A floating copy shown while the tab is dragged; it never drags itself.
  bool IsDragCopy() const { return dragCopy_; }
  void MarkDragCopy() { dragCopy_ = true; }

  // Lays the parts out inside the tab's rectangle.
  void SetPos(const QRect& rc) override;

  // The attribute strings the parts are made from.
  static const QString kTabAttributes;
  static const QString kOptionAttributes;
  static const QString kIconAttributes;
  static const QString kLabelAttributes;
  static const QString kCloseAttributes;
  static const QString kVpnMarkAttributes;
  static const QString kDefaultIconImages;
  static const QString kPrivateOptionAttributes;
  static const QString kPrivateLabelAttributes;
  static const QString kPrivateCloseAttributes;

 private:
  TabOption* option_ = nullptr;  // owned by this container
  TabIcon* icon_ = nullptr;
  TabLabel* label_ = nullptr;
  TabCloseBtn* close_ = nullptr;
  TabVpnMark* vpnMark_ = nullptr;
  TabStrip* strip_ = nullptr;
  QString iconImages_ = kDefaultIconImages;
  bool selected_ = false;
  bool pinned_ = false;
  bool dragCopy_ = false;
};

}  // namespace tarvo

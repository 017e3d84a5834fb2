#include "shell/pages/tab.h"

#include <QImageReader>

#include "shell/pages/tab_option.h"
#include "shell/pages/tab_parts.h"
#include "shell/pages/tab_strip.h"

namespace tarvo {

const QString Tab::kTabAttributes = QStringLiteral(R"(name="Tab" maxwidth="240")");
const QString Tab::kOptionAttributes = QStringLiteral(
    R"(name="TabOption" accrole="tab" tooltip="" normalimage="file='Tabbar\normal_bg.png'" )"
    R"(selectedimage="file='Tabbar\selected_bg.png'" hotimage="Tabbar\hot_bg.png" group="tabGroup" padding="0,0,0,4")");
const QString Tab::kIconAttributes = QStringLiteral(
    R"(name="TabIcon" accrole="none" group="tabiconGroup" mouse="false" float="true" pos="5,5,0,0" width="16" height="16" )"
    R"(normalimage="file='Tabbar\favicon_tab.png'" selectedimage="file='Tabbar\favicon_selectedtab.png'")");
const QString Tab::kLabelAttributes = QStringLiteral(
    R"(name="TabLabel" accrole="none" group="tablblGroup" mouse="false" float="true" pos="30,0,0,0" width="210" height="20" )"
    R"(align="left" font="4" selectedtextcolor="#FFFFFFFF" textcolor="#FF606060")");
const QString Tab::kCloseAttributes = QStringLiteral(
    R"(name="TabClose" accrole="button" group="tabcloseGroup" float="true" pos="96, 6, 0, 0" width="16" height="16" )"
    R"(normalimage="file='Tabbar\tab_close.png'" hotimage="file='Tabbar\tab_close_hover.png'" )"
    R"(selectedimage="file='Tabbar\selectedtab_close.png'")");
const QString Tab::kVpnMarkAttributes = QStringLiteral(
    R"(name="TabVpnMark" visible="false" float="true" width="16" height="16" bkimage="file='Tabbar\vpn_unprotected.png'")");
const QString Tab::kDefaultIconImages = QStringLiteral(
    R"(normalimage="file='Tabbar\favicon_tab.png'" selectedimage="file='Tabbar\favicon_selectedtab.png'")");

const QString Tab::kPrivateOptionAttributes = QStringLiteral(
    R"(normalimage="file='Private\normal_bg.png'" selectedimage="file='Private\selected_bg.png'" )"
    R"(hotimage="Private\hot_bg.png")");
const QString Tab::kPrivateLabelAttributes = QStringLiteral(R"(textcolor="#FFD5D8E4")");
const QString Tab::kPrivateCloseAttributes = QStringLiteral(
    R"(normalimage="file='Private\tab_close.png'" hotimage="file='Tabbar\tab_close_hover.png'")");

namespace {

template <class Part>
Part* AddPart(Tab& tab, const QString& attributes) {
  auto part = std::make_unique<Part>();
  part->ApplyAttributeList(attributes);
  return tab.Add(std::move(part));
}

}  // namespace

Tab::Tab(const QString& title) {
  ApplyAttributeList(kTabAttributes);
  option_ = AddPart<TabOption>(*this, kOptionAttributes);
  icon_ = AddPart<TabIcon>(*this, kIconAttributes);
  label_ = AddPart<TabLabel>(*this, kLabelAttributes);
  close_ = AddPart<TabCloseBtn>(*this, kCloseAttributes);
  vpnMark_ = AddPart<TabVpnMark>(*this, kVpnMarkAttributes);
  SetTitle(title);
}

void Tab::UsePrivateLook() {
  option_->ApplyAttributeList(kPrivateOptionAttributes);
  label_->ApplyAttributeList(kPrivateLabelAttributes);
  close_->ApplyAttributeList(kPrivateCloseAttributes);
}

void Tab::SetSelected(bool selected) {
  selected_ = selected;
  const QString value = selected ? QStringLiteral("true") : QStringLiteral("false");
  for (DuiLib::CControlUI* part : {static_cast<DuiLib::CControlUI*>(option_), static_cast<DuiLib::CControlUI*>(icon_),
                                   static_cast<DuiLib::CControlUI*>(label_), static_cast<DuiLib::CControlUI*>(close_)}) {
    part->SetAttribute(QStringLiteral("selected"), value);
  }
}

void Tab::SetPinned(bool pinned) {
  if (pinned_ == pinned) return;
  if (strip_ != nullptr) {
    const int from = strip_->IndexOf(this);
    // Pinned tabs stay in front: a new pin goes behind the pinned ones, an unpinned
    // tab becomes the first of the others.
    const int to = pinned ? strip_->PinnedCount() : strip_->PinnedCount() - 1;
    if (from >= 0 && to >= 0 && from != to) strip_->RequestMove(from, to);
  }
  ApplyAttributeList(pinned ? QStringLiteral(R"(width="26")") : QStringLiteral(R"(width="")"));
  pinned_ = pinned;
  close_->SetVisible(!pinned);
  NeedParentUpdate();
}

void Tab::SetVpnMark(bool shown, const QString& why) {
  if (shown == HasVpnMark()) return;
  vpnMark_->SetVisible(shown);
  vpnMark_->SetToolTip(shown ? why : QString());
  option_->SetToolTip(shown ? why : QString());
  NeedUpdate();
}

bool Tab::HasVpnMark() const { return vpnMark_->IsVisible(); }

void Tab::SetTitle(const QString& title) {
  label_->SetText(title);
  // The label is only drawn; a screen reader hears the title from the tab itself.
  option_->SetAccessibleName(title);
}

QString Tab::GetTitle() const { return label_->GetText(); }

void Tab::SetIcon(const QString& imageAttributes) {
  iconImages_ = imageAttributes;
  icon_->ApplyAttributeList(imageAttributes);
  icon_->Invalidate();
}

void Tab::SetIconFile(const QString& file) {
  // A site may answer its icon's address with a page instead of a picture: the tab
  // then shows the default icon rather than an empty square.
  if (!QImageReader(file).canRead()) {
    SetIcon(kDefaultIconImages);
    return;
  }
  QString escaped = file;
  escaped.replace(QLatin1Char('\''), QStringLiteral("%27"));
  SetIcon(QStringLiteral("normalimage=\"file='%1'\" selectedimage=\"file='%1'\"").arg(escaped));
}

void Tab::SetPos(const QRect& rc) {
  CHorizontalLayoutUI::SetPos(rc);
  const int width = rc.width();
  const int height = rc.height();
  const int closeWidth = close_->GetFixedWidth();
  const int closeHeight = close_->GetFixedHeight();
  const int closeLeft = width - closeWidth - 5;
  close_->SetPos(QRect(rc.left() + closeLeft, rc.top() + (height - closeHeight) / 2 - 2, closeWidth, closeHeight));
  int labelRight = closeLeft - 2;
  if (vpnMark_->IsVisible() && pinned_) {
    // No room beside the icon: a smaller mark on its lower right corner.
    vpnMark_->SetPos(QRect(rc.left() + 13, rc.top() + (height - 16) / 2 + 3, 11, 11));
  } else if (vpnMark_->IsVisible()) {
    const int markLeft = closeLeft - 18;
    vpnMark_->SetPos(QRect(rc.left() + markLeft, rc.top() + (height - 16) / 2 - 2, 16, 16));
    labelRight = markLeft - 2;
  }
  label_->SetPos(QRect(rc.left() + 24, rc.top() + (height - 20) / 2 - 2, qMax(0, labelRight - 24), 20));
  icon_->SetPos(QRect(rc.left() + 5, rc.top() + (height - 16) / 2 - 3, 16, 16));
}

}  // namespace tarvo

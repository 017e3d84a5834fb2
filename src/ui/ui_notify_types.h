#pragma once
// Notification type names delivered to INotifyUI::Notify; compare msg.sType with these.
#include <QString>

namespace DuiLib {

inline const QString kNotifyWindowInit = QStringLiteral("windowinit");
inline const QString kNotifyClick = QStringLiteral("click");
inline const QString kNotifyReturn = QStringLiteral("return");
inline const QString kNotifySetFocus = QStringLiteral("setfocus");
inline const QString kNotifyKillFocus = QStringLiteral("killfocus");
inline const QString kNotifyTextChanged = QStringLiteral("textchanged");
inline const QString kNotifySelectChanged = QStringLiteral("selectchanged");
inline const QString kNotifyItemSelect = QStringLiteral("itemselect");
inline const QString kNotifyItemClick = QStringLiteral("itemclick");
inline const QString kNotifyItemDbClick = QStringLiteral("itemdbclick");
inline const QString kNotifyItemRightClick = QStringLiteral("itemrightclick");
inline const QString kNotifyRightClick = QStringLiteral("rightclick");
// Beyond the twelve the windows react to: slider and tab changes, for completeness.
inline const QString kNotifyValueChanged = QStringLiteral("valuechanged");
inline const QString kNotifyTabSelect = QStringLiteral("tabselect");

}  // namespace DuiLib

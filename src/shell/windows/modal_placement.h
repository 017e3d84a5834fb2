#pragma once
// Runs a toolkit window modally with its top-right corner at a point, keeping the
// size its skin gives it: the pop-up windows under the main window's toolbar
// buttons (download list, clear data).
// GUI thread only.
#include <QPoint>
#include <QString>

#include "ui/ui_defs.h"

namespace DuiLib {
class CWindowWnd;
}

namespace tarvo {

// Creates `window` over `owner` with `title`, places it and runs it; returns its
// close code (-1 when it could not be created).
int RunModalAtTopRight(DuiLib::CWindowWnd& window, DuiLib::HWND owner, const QString& title, QPoint topRight);

}  // namespace tarvo

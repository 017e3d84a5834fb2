#pragma once
// Controls built at run time with the attribute strings the browser's windows use, so
// that the string tests and the screenshots exercise the same strings.
#include <QString>

namespace DuiLib {
class CButtonUI;
class CContainerUI;
class CLabelUI;
class CListUI;
class CProgressUI;
}  // namespace DuiLib

namespace tarvo::test {

// The parts of a running download row a test looks at; owned by the list.
struct DownloadRowParts {
  DuiLib::CLabelUI* status = nullptr;
  DuiLib::CProgressUI* progress = nullptr;
  DuiLib::CButtonUI* pause = nullptr;
};

// Appends a running download row to `list`. The texts are spliced into the attribute
// strings as the download window does, quotes and all. GUI thread only.
DownloadRowParts AddRunningDownloadRow(DuiLib::CListUI& list, const QString& fileName, const QString& url,
                                       const QString& status, int percent);

// Inserts a 200-pixel tab before the strip's last child (the "new tab" button), laid out
// as the tab strip lays out its tabs. GUI thread only.
void AddTab(DuiLib::CContainerUI& strip, const QString& title, bool selected);

}  // namespace tarvo::test

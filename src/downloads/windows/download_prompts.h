#pragma once
// The questions of a starting download, asked in the toolkit's message box, and the
// save dialog (the desktop's own where the platform offers one; it confirms
// overwriting an existing file). The dialog opens in the folder chosen last in this
// session, at first the user's download folder.
//
// GUI thread only. Lifetime: start-up makes one for the process.
#include <QString>

#include "downloads/i_download_prompts.h"

namespace tarvo {

class DownloadPrompts : public IDownloadPrompts {
 public:
  bool ConfirmReplace(const DownloadRecord& finished) override;
  void TellAlreadyDownloading(const DownloadRecord& running) override;
  WString ChooseTarget(const WString& suggestedName) override;

 private:
  QString folder_;  // where the last file was saved; empty until then
};

}  // namespace tarvo

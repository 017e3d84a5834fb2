#pragma once
// Download prompts of a user who saves every download as one path and replaces.
#include "downloads/i_download_prompts.h"

namespace tarvo::test {

struct SaveAs : IDownloadPrompts {
  explicit SaveAs(WString chosen = {}) : path(std::move(chosen)) {}
  bool ConfirmReplace(const DownloadRecord&) override { return true; }
  void TellAlreadyDownloading(const DownloadRecord&) override {}
  WString ChooseTarget(const WString&) override { return path; }
  WString path;
};

}  // namespace tarvo::test

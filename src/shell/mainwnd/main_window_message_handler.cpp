#include "shell/mainwnd/main_window_message_handler.h"

#include <QWidget>

#include "shell/commands/main_window_messages.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"

namespace tarvo {

namespace Messages = MainWindowMessages;

MainWindowMessageHandler::~MainWindowMessageHandler() = default;

DuiLib::LRESULT MainWindowMessageHandler::Handle(DuiLib::UINT msg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                                 bool& handled) {
  handled = true;
  switch (msg) {
    case Messages::kMoveTab:
      MoveTab(static_cast<int>(wParam), static_cast<int>(lParam));
      return 0;
    case Messages::kAddAccelerator:
      if (wParam != 0) translators_.insert(reinterpret_cast<DuiLib::ITranslateAccelerator*>(wParam));
      return 0;
    case Messages::kRemoveAccelerator:
      translators_.erase(reinterpret_cast<DuiLib::ITranslateAccelerator*>(wParam));
      return 0;
    case Messages::kRemoveBodyWindow:
      if (CBodyBar* bodyBar = pages_.BodyBar()) bodyBar->Remove(reinterpret_cast<QWidget*>(wParam));
      return 0;
    default:
      handled = false;
      return 0;
  }
}

void MainWindowMessageHandler::MoveTab(int from, int to) {
  Pages& pages = pages_;
  if (from != to) {
    pages.MovePage(from, to);
  } else if (Page* current = pages.Current()) {
    pages.SelectPage(current);
  }
}

bool MainWindowMessageHandler::IsListedBody(DuiLib::ITranslateAccelerator* translator) const {
  Pages& pages = pages_;
  for (int i = 0; i < pages.Count(); ++i) {
    if (dynamic_cast<DuiLib::ITranslateAccelerator*>(pages.PageAt(i)->Body()) == translator) return true;
  }
  return false;
}

DuiLib::LRESULT MainWindowMessageHandler::TranslateAccelerator(DuiLib::MSG* msg) {
  const std::set<DuiLib::ITranslateAccelerator*> translators = translators_;
  for (DuiLib::ITranslateAccelerator* translator : translators) {
    if (IsListedBody(translator) && translator->TranslateAccelerator(msg) == DuiLib::S_OK) return DuiLib::S_OK;
  }
  return DuiLib::S_FALSE;
}

}  // namespace tarvo

#include "shell/mainwnd/main_window_message_handler.h"

#include <QWidget>
#include <memory>

#include "platform/debug_output.h"
#include "shell/commands/main_window_messages.h"
#include "shell/pages/c_body_bar.h"
#include "shell/pages/i_page_body_factory.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/mainwnd/typed_address.h"

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
    case Messages::kNavigateTyped:
      NavigateTyped(wParam, lParam);
      return 0;
    case Messages::kOpenCompatibilityTab:
      OpenCompatibilityTab(wParam);
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

void MainWindowMessageHandler::NavigateTyped(DuiLib::WPARAM pageParam, DuiLib::LPARAM textParam) {
  const std::unique_ptr<WString> text(reinterpret_cast<WString*>(textParam));
  Pages& pages = pages_;
  // A page closed since the message was posted is not touched.
  Page* page = pageParam != 0 ? reinterpret_cast<Page*>(pageParam) : pages.Current();
  if (page == nullptr || pages.IndexOf(page) < 0) return;
  page->Navigate(TypedAddress::Clean(text != nullptr ? *text : WString()));
}

void MainWindowMessageHandler::OpenCompatibilityTab(DuiLib::WPARAM urlParam) {
  const std::unique_ptr<WString> url(reinterpret_cast<WString*>(urlParam));
  if (url == nullptr) return;
  if (bodies_ == nullptr || !bodies_->OpenIePage(*url)) DebugOutput("compatibility page not opened: " + WideToUtf8(*url));
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

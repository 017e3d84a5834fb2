#include "engines/webengine/engine_view.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QWebEngineContextMenuRequest>

#include "engines/webengine/cef_browser.h"
#include "engines/webengine/cef_client.h"
#include "engines/webengine/cef_context_menu_handler.h"
#include "engines/webengine/cef_context_menu_params.h"
#include "engines/webengine/cef_menu_model.h"
#include "engines/webengine/engine_page.h"

namespace tarvo::cef {

namespace {
cef_context_menu_media_type_t MediaTypeOf(QWebEngineContextMenuRequest::MediaType type) {
  switch (type) {
    case QWebEngineContextMenuRequest::MediaTypeImage:
    case QWebEngineContextMenuRequest::MediaTypeCanvas:
      return CM_MEDIATYPE_IMAGE;
    case QWebEngineContextMenuRequest::MediaTypeVideo:
      return CM_MEDIATYPE_VIDEO;
    case QWebEngineContextMenuRequest::MediaTypeAudio:
      return CM_MEDIATYPE_AUDIO;
    case QWebEngineContextMenuRequest::MediaTypeFile:
      return CM_MEDIATYPE_FILE;
    case QWebEngineContextMenuRequest::MediaTypePlugin:
      return CM_MEDIATYPE_PLUGIN;
    case QWebEngineContextMenuRequest::MediaTypeNone:
      break;
  }
  return CM_MEDIATYPE_NONE;
}

struct EngineCommand {
  int id;
  QWebEnginePage::WebAction action;
};

constexpr EngineCommand kEngineCommands[] = {
    {MENU_ID_BACK, QWebEnginePage::Back},
    {MENU_ID_FORWARD, QWebEnginePage::Forward},
    {MENU_ID_RELOAD, QWebEnginePage::Reload},
    {MENU_ID_RELOAD_NOCACHE, QWebEnginePage::ReloadAndBypassCache},
    {MENU_ID_STOPLOAD, QWebEnginePage::Stop},
    {MENU_ID_UNDO, QWebEnginePage::Undo},
    {MENU_ID_REDO, QWebEnginePage::Redo},
    {MENU_ID_CUT, QWebEnginePage::Cut},
    {MENU_ID_COPY, QWebEnginePage::Copy},
    {MENU_ID_PASTE, QWebEnginePage::Paste},
    {MENU_ID_SELECT_ALL, QWebEnginePage::SelectAll},
};

void AddEngineItem(CefMenuModel& model, QWebEnginePage& page, int id) {
  for (const auto& command : kEngineCommands) {
    if (command.id == id) {
      model.AddItem(id, page.action(command.action)->text().remove(QLatin1Char('&')).toStdU16String());
      return;
    }
  }
  if (id == MENU_ID_DELETE) {
    model.AddItem(id, u"Delete");
  }
}

// The engine's own menu for the spot, which the client may keep, change or replace.
void FillDefaults(CefMenuModel& model, QWebEnginePage& page, const CefContextMenuParams& params) {
  if (params.IsEditable()) {
    for (int id : {MENU_ID_UNDO, MENU_ID_REDO}) {
      AddEngineItem(model, page, id);
    }
    model.AddSeparator();
    for (int id : {MENU_ID_CUT, MENU_ID_COPY, MENU_ID_PASTE, MENU_ID_DELETE}) {
      AddEngineItem(model, page, id);
    }
    model.AddSeparator();
    AddEngineItem(model, page, MENU_ID_SELECT_ALL);
  } else if ((params.GetTypeFlags() & CM_TYPEFLAG_SELECTION) != 0) {
    AddEngineItem(model, page, MENU_ID_COPY);
  } else {
    for (int id : {MENU_ID_BACK, MENU_ID_FORWARD, MENU_ID_RELOAD}) {
      AddEngineItem(model, page, id);
    }
  }
}
}  // namespace

EngineView::EngineView(QWebEngineProfile* profile, QWidget* parent)
    : QWebEngineView(parent), page_(new EnginePage(profile, this)) {
  setPage(page_);
}

void EngineView::Attach(const std::weak_ptr<CefBrowser>& browser) {
  browser_ = browser;
  page_->Attach(browser);
}

CefContextMenuParams::Data EngineView::ParamsFrom(const QWebEngineContextMenuRequest& data, const QUrl& page_url) {
  CefContextMenuParams::Data params;
  params.type_flags = CM_TYPEFLAG_PAGE;
  if (data.linkUrl().isValid()) {
    params.type_flags |= CM_TYPEFLAG_LINK;
    params.link_url = data.linkUrl().toString().toStdU16String();
  }
  params.media_type = MediaTypeOf(data.mediaType());
  if (params.media_type != CM_MEDIATYPE_NONE) {
    params.type_flags |= CM_TYPEFLAG_MEDIA;
    params.source_url = data.mediaUrl().toString().toStdU16String();
    params.has_image_contents = params.media_type == CM_MEDIATYPE_IMAGE;
  }
  if (!data.selectedText().isEmpty()) {
    params.type_flags |= CM_TYPEFLAG_SELECTION;
    params.selection_text = data.selectedText().toStdU16String();
  }
  if (data.isContentEditable()) {
    params.type_flags |= CM_TYPEFLAG_EDITABLE;
  }
  params.page_url = page_url.toString().toStdU16String();
  params.x = data.position().x();
  params.y = data.position().y();
  return params;
}

void EngineView::contextMenuEvent(QContextMenuEvent* event) {
  auto browser = browser_.lock();
  CefContextMenuHandler* handler = browser != nullptr ? browser->client()->GetContextMenuHandler() : nullptr;
  if (handler == nullptr) {
    QWebEngineView::contextMenuEvent(event);
    return;
  }
  const QWebEngineContextMenuRequest* data = lastContextMenuRequest();
  if (data == nullptr) {
    return;
  }
  auto params = std::make_shared<CefContextMenuParams>(ParamsFrom(*data, page_->url()));
  auto model = std::make_shared<CefMenuModel>();
  FillDefaults(*model, *page_, *params);
  handler->OnBeforeContextMenu(browser, browser->GetMainFrame(), params, model);
  if (model->GetCount() == 0) {
    return;
  }
  auto* menu = new QMenu(this);
  menu->setObjectName(QLatin1String(kMenuObjectName));
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const CefMenuModel::Item& item : model->items()) {
    if (item.IsSeparator()) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(QString::fromStdU16String(item.label));
    action->setData(item.command_id);
    action->setEnabled(item.enabled);
  }
  connect(menu, &QMenu::triggered, this,
          [this, params](QAction* action) { RunCommand(action->data().toInt(), params); });
  menu->popup(event->globalPos());
}

void EngineView::RunCommand(int command_id, const CefRefPtr<CefContextMenuParams>& params) {
  auto browser = browser_.lock();
  CefContextMenuHandler* handler = browser != nullptr ? browser->client()->GetContextMenuHandler() : nullptr;
  if (handler != nullptr &&
      handler->OnContextMenuCommand(browser, browser->GetMainFrame(), params, command_id, EVENTFLAG_NONE)) {
    return;
  }
  RunEngineCommand(command_id);
}

void EngineView::RunEngineCommand(int command_id) {
  for (const auto& command : kEngineCommands) {
    if (command.id == command_id) {
      page_->triggerAction(command.action);
      return;
    }
  }
  if (command_id == MENU_ID_DELETE) {
    page_->runJavaScript(QStringLiteral("document.execCommand('delete')"));
  }
}

}  // namespace tarvo::cef

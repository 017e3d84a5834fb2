#include "favorites/windows/favorites_feature.h"

#include <QCoreApplication>
#include <memory>

#include "account/account_state.h"
#include "favorites/windows/favorites_channels.h"
#include "favorites/favorites_store.h"
#include "favorites/favorites_sync.h"
#include "favorites/windows/favorite_bar_ui.h"
#include "favorites/windows/favorite_wnd.h"
#include "favorites/windows/favorites_change_follower.h"
#include "favorites/windows/favorites_language_keys.h"
#include "favorites/windows/favorites_worker.h"
#include "platform/debug_output.h"
#include "shell/commands/main_window_commands.h"
#include "shell/mainwnd/browser_windows.h"
#include "shell/mainwnd/bus_requests.h"
#include "shell/mainwnd/feature_hooks.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/i_engine_port.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/rename_wnd.h"
#include "store/user_database.h"

namespace tarvo {

namespace {

namespace C = Commands;

// Every window's favourite button shows whether its page is a favourite.
void RefreshStars(const BrowserWindows& windows) {
  for (Pages* pages : windows.PageLists()) pages->GetTabWnd().UpdateFor(pages->Current());
}

void RefreshStar(IBrowserWindow& window) { window.PageList().GetTabWnd().UpdateFor(window.CurrentPage()); }

// Below the middle of the window's client area, where a small dialog reads well.
QPoint DialogPointOver(IBrowserWindow& window, int dialogWidth) {
  const QRect client = window.ControlScreenRect(QStringLiteral("client_region"));
  return QPoint(client.center().x() - dialogWidth / 2, client.top() + 60);
}

void ToggleFavorite(IBrowserWindow& window, FavoritesStore& store, FavoritesWorker& worker) {
  Page* page = window.CurrentPage();
  const WString url = page != nullptr ? page->GetDisplayUrl() : WString();
  if (url.empty()) return;
  if (store.ContainsUrl(url)) {
    // The button shows the outcome when the store reports the change.
    worker.Post([&store, url] { return store.RemoveUrl(url); });
    return;
  }
  FavoriteWnd editor(store, worker, Q(page->GetTitle()), Q(url));
  editor.SetAnchor(window.ControlScreenRect(QStringLiteral("favor_btn")));
  editor.Run(window.Handle(), std::nullopt);
  // The button took the click as a toggle; it shows the truth again (a cancelled
  // window added nothing).
  RefreshStar(window);
}

void AddFavorite(IBrowserWindow& window, const CommandArgs& args, FavoritesStore& store, FavoritesWorker& worker) {
  Page* page = window.CurrentPage();
  // A link brings only its address; the bar's menu asks for the current page.
  const WString url = !args.text.empty() ? args.text : page != nullptr ? page->GetDisplayUrl() : WString();
  const WString name = !args.text.empty() ? args.text : page != nullptr ? page->GetTitle() : WString();
  FavoriteWnd editor(store, worker, Q(name), Q(url));
  editor.Run(window.Handle(), std::nullopt);
}

void RenameFavorite(IBrowserWindow& window, const CommandArgs& args, FavoritesStore& store,
                    FavoritesWorker& worker) {
  Json::Value item = store.FindById(std::to_string(args.id));
  if (item.isNull()) return;
  const QString old = QString::fromStdString(FavoritesTree::Name(item));
  RenameWnd rename(old);
  if (rename.Run(window.Handle(), QStringLiteral("rename_favor"), DialogPointOver(window, 380)) != DuiLib::IDOK) return;
  const QString text = rename.GetText().trimmed();
  if (text.isEmpty() || text == old) return;
  item["name"] = text.toStdString();
  worker.Post([&store, item] { return store.UpdateItem(item); });
}

}  // namespace

void FavoritesFeature::Register(FeatureHooks& hooks) {
  AccountState& account = hooks.account;
  // Never destroyed: the worker's work and detached icon fetches may still use the
  // store at the process's end.
  FavoritesStore& store = *new FavoritesStore(hooks.database, account);
  FavoritesWorker& worker = *new FavoritesWorker();
  RegisterWindows(hooks.windows, {store, worker}, account);
  // A link right-clicked in a page: the favourites window opens for it.
  for (IEnginePort* engine : hooks.engines) {
    engine->AddContextMenuEntry({FavoritesLanguageKeys::kAddLinkToFavorites, ContextMenuEntry::Target::kLink,
                                 [](const WString& link) { BusChannels::PostUrl(FavoritesChannels::kShowFavoriteWnd, link); }});
  }
  hooks.serviceSteps.push_back({"default favourites", StartUpStep(store, account)});
  hooks.serviceSteps.push_back({"favourites sync", [&store, &account] { SyncStep(store, account); }});
  hooks.endSteps.push_back([&store, &worker] { Finish(store, worker); });
}

void FavoritesFeature::RegisterWindows(BrowserWindows& windows, Parts parts, AccountState& account) {
  FavoritesStore& store = parts.store;
  FavoritesWorker& worker = parts.worker;
  windows.SetFavoriteBarFactory(
      [&store, &worker](IBrowserWindow& window) { return std::make_unique<FavoriteBarUI>(window, store, worker); });
  auto stars = std::make_shared<FavoritesChangeFollower>(store, [&windows] { RefreshStars(windows); });
  // The follower lives as long as the windows keep their hooks.
  windows.AddWindowHook([stars, &store](IBrowserWindow& window) {
    window.PageList().GetTabWnd().SetFavoriteLookup([&store](const WString& url) { return store.ContainsUrl(url); });
  });
  // A login brings the user's favourites at once, not at the loop's next round. The
  // account tells of it on its own thread; the worker takes work from the GUI thread.
  account.AddUserListener([&store, &worker, &account](const WString& userId) {
    if (userId.empty()) return;
    QMetaObject::invokeMethod(qApp, [&store, &worker, &account] {
      worker.Post([&store, &account] { return FavoritesSync(store, account, store.Database()).SyncUserFavorites(); });
    }, Qt::QueuedConnection);
  });
  FeatureCommands& commands = windows.Features();
  commands.Register(C::kToggleFavorite, [&store, &worker](IBrowserWindow& window, const CommandArgs&) {
    ToggleFavorite(window, store, worker);
  });
  commands.Register(C::kAddFavorite, [&store, &worker](IBrowserWindow& window, const CommandArgs& args) {
    AddFavorite(window, args, store, worker);
  });
  commands.Register(C::kRenameFavorite, [&store, &worker](IBrowserWindow& window, const CommandArgs& args) {
    RenameFavorite(window, args, store, worker);
  });
  BusRequests::ToLastUsed(windows, FavoritesChannels::kShowFavoriteWnd, C::kAddFavorite);
  BusRequests::ToLastUsed(windows, FavoritesChannels::kHideFavoriteBar, C::kHideFavoriteBar);
  BusRequests::ToLastUsed(windows, FavoritesChannels::kRefreshFavoriteBar, C::kShowFavoriteBar);
  BusRequests::ToLastUsed(windows, FavoritesChannels::kShowRenameWnd, C::kRenameFavorite);
}

std::function<void()> FavoritesFeature::StartUpStep(FavoritesStore& store, const AccountState& account) {
  return [started = std::make_shared<bool>(false), &store, &account] {
    if (std::exchange(*started, true)) return;
    FavoritesSync(store, account, store.Database()).StartUp();
  };
}

void FavoritesFeature::SyncStep(FavoritesStore& store, const AccountState& account) {
  if (store.SaveIfUnsaved() != 0) DebugOutput("service loop: favourites still unsaved");
  if (account.UserId().empty()) return;
  if (FavoritesSync(store, account, store.Database()).SyncUserFavorites() != 0) {
    DebugOutput("service loop: the user's favourites were not refreshed");
  }
}

void FavoritesFeature::Finish(FavoritesStore& store, FavoritesWorker& worker) {
  if (!worker.Finish(kFinishWaitMs) || store.SaveIfUnsaved() != 0) {
    DebugOutput("favourites: changes still unsaved at the end");
  }
}

}  // namespace tarvo

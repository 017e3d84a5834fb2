// Favourites speed: the bar rebuilt from 20, 200 and 2,000 top-level items (laid out
// too), a user's 5,000-item document synchronised from the local reference service
// into the bar, a synchronisation with nothing pending (the plain replacement) and
// one that first sends 1,000 changes made while the service was away, laying a
// 10,000-bookmark document from the service over the profile wholesale and with 100
// changes still pending, a 10,000-entry bookmark file imported into a new profile, and the
// memory an import of 4,000 and 8,000 nested folders takes (peak_mib: the most
// resident memory of a child process that imports, less that of one that does not).
//
//   build/bin/favorites_bench   (from build/bin: the skin package and tarvo-service
//                                beside it)
#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <functional>

#include "account/account_state.h"
#include "favorites/bookmark_transfer.h"
#include "favorites/favorites_remote.h"
#include "favorites/favorites_store.h"
#include "favorites/favorites_sync.h"
#include "favorites/netscape_bookmark_file.h"
#include "favorites/windows/favorite_bar_ui.h"
#include "favorites/windows/favorites_worker.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/picture_cache.h"
#include "support/service_process.h"
#include "scratch_database.h"
#include "session/crash_reload_policy.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shell/pages/page.h"
#include "shell/pages/pages.h"
#include "ui/window_impl_base.h"

namespace tarvo::bench {
namespace {

// Nobody logged in, no VPN; the state outlives the stores' detached icon fetches.
const AccountState& Offline() {
  static const AccountState* account = new AccountState();
  return *account;
}

using namespace DuiLib;

// The main window's skin with the favourites bar and nothing behind its commands.
class BarWindow : public WindowImplBase, public IBrowserWindow {
 public:
  explicit BarWindow(FavoritesStore& store) : store_(store) {}
  std::unique_ptr<CControlUI> CreateControl(const QString& tag) override {
    if (tag.compare(QLatin1String("FavorBar"), Qt::CaseInsensitive) == 0) {
      auto bar = std::make_unique<FavoriteBarUI>(*this, store_, worker_);
      bar_ = bar.get();
      return bar;
    }
    return tag.compare(QLatin1String("BodyBar"), Qt::CaseInsensitive) == 0 ? std::make_unique<CControlUI>() : nullptr;
  }
  HWND Handle() const override { return GetHWND(); }
  QRect ControlScreenRect(const QString&) const override { return QRect(); }
  bool IsFavoriteBarShown() const override { return true; }
  CControlUI* Control(const QString& name) const override { return m_pm.FindControl(name); }
  Page* CurrentPage() const override { return nullptr; }
  Pages& PageList() override { return pages_; }
  void RunCommand(unsigned, const CommandArgs&) override {}
  bool IsCommandAvailable(unsigned) const override { return true; }
  void OnLanguageChanged() override {}
  FavoriteBarUI* Bar() const { return bar_; }

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXMainFrm"); }
  QString GetSkinFile() override { return QStringLiteral("newmainwnd.xml"); }

 private:
  FavoritesStore& store_;
  FavoritesWorker worker_;
  CrashReloadPolicy crashReloads_;
  Pages pages_{crashReloads_, store_.Database()};
  FavoriteBarUI* bar_ = nullptr;
};

// `count` top-level items, every tenth a folder of three bookmarks; each bookmark on
// its own site, half of the sites with a cached icon when `icons`.
FavoritesTree Items(int count, bool icons) {
  Json::Value items(Json::arrayValue);
  int id = 1;
  const auto bookmark = [&](const std::string& folder) {
    const std::string site = "http://site" + std::to_string(id) + ".test/";
    if (icons && id % 2 == 0) {
      std::ofstream(WideToUtf8(PictureCache::CachePath(Utf8ToWide(site + "favicon.ico")))) << std::string(600, 'i');
    }
    const int own = id++;
    return FavoritesTree::NewBookmark(own, folder, "Bookmark number " + std::to_string(own), site + "page", 1700000000);
  };
  for (int i = 0; i < count; ++i) {
    if (i % 10 != 9) {
      items.append(bookmark(""));
      continue;
    }
    Json::Value folder = FavoritesTree::NewFolder(id++, "Folder " + std::to_string(i), 1700000000);
    const std::string folderId = FavoritesTree::Id(folder);
    for (int j = 0; j < 3; ++j) folder["child"].append(bookmark(folderId));
    items.append(folder);
  }
  return FavoritesTree(items);
}

void BM_BarRebuild(benchmark::State& state) {
  ScratchFolder folder;
  UserDatabase database;
  OpenUpgraded(database, folder, "kx.dat");
  std::filesystem::create_directories(folder.File("picture"));
  SettingsRegistry::Instance().Set(SettingsKeys::kPictureFolder, Utf8ToWide(folder.File("picture") + "/"));
  FavoritesStore store(database, Offline());
  BarWindow window(store);
  window.Create(0, "bench", 0, 0, 0, 0, 1400, 700);
  const FavoritesTree tree = Items(static_cast<int>(state.range(0)), true);
  for (auto _ : state) {
    window.Bar()->Rebuild(tree);
    window.GetPaintManager().UpdateLayout();
  }
  state.counters["buttons"] = window.Bar()->GetCount() - 1;
  window.Close();
}
BENCHMARK(BM_BarRebuild)->Arg(20)->Arg(200)->Arg(2000)->Unit(benchmark::kMillisecond);

// The reference service with one user whose favourites hold 5,000 items (or only the
// brand's defaults), and the account state logged in as that user.
class LargeUserService {
 public:
  explicit LargeUserService(bool filled = true) {
    const std::string seed = std::string(TARVO_TEST_DATA) + "/service/seed.json";
    service_ = std::make_unique<test::ServiceProcess>(test::ServiceProcess::Program(), seed, folder_.File("service.db"));
    service_->UseInThisProcess();
    SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TestBrand");
    ServiceReply login;
    CallService(u"app/v1.0/login",
                FormBody().Add("username", u"alice@tarvo.test").Add("password", u"alice&pass=1").Add("type", "PC"), login);
    const WString token = Utf8ToWide(ServiceReply::ReadString(login.data(), "token"));
    account_.SetUserId(AsciiToWide(std::to_string(ServiceReply::ReadInt(login.data(), "id"))));
    account_.SetToken(token);
    // 500 bookmarks and 500 folders of eight bookmarks: one request per top-level item.
    for (int i = 0; filled && i < 1000; ++i) {
      const std::string site = "http://site" + std::to_string(i) + ".test/";
      Json::Value item = i % 2 == 0 ? FavoritesTree::NewBookmark(0, "", "Bookmark " + std::to_string(i), site, 1700000000)
                                    : FavoritesTree::NewFolder(0, "Folder " + std::to_string(i), 1700000000);
      for (int j = 0; i % 2 == 1 && j < 8; ++j) {
        item["child"].append(FavoritesTree::NewBookmark(0, "", "In folder " + std::to_string(j), site + std::to_string(j), 1700000000));
      }
      item.removeMember("id");
      FavoritesRemote::Add(token, item);
    }
  }
  // Logged in as that user.
  const AccountState& Account() const { return account_; }

 private:
  AccountState account_;
  ScratchFolder folder_;
  std::unique_ptr<test::ServiceProcess> service_;
};

void BM_SyncFiveThousandIntoTheBar(benchmark::State& state) {
  if (test::ServiceProcess::Program().empty()) {
    state.SkipWithError("tarvo-service is not beside the benchmark");
    return;
  }
  LargeUserService service;
  ScratchFolder folder;
  UserDatabase database;
  OpenUpgraded(database, folder, "kx.dat");
  FavoritesStore store(database, service.Account());
  BarWindow window(store);
  window.Create(0, "bench", 0, 0, 0, 0, 1400, 700);
  size_t items = 0;
  for (auto _ : state) {
    if (FavoritesSync(store, service.Account(), database).SyncUserFavorites() != 0) state.SkipWithError("the sync failed");
    window.Bar()->Rebuild();
    window.GetPaintManager().UpdateLayout();
    items = store.Document().CountAll();
  }
  state.counters["items"] = static_cast<double>(items);
  window.Close();
}
BENCHMARK(BM_SyncFiveThousandIntoTheBar)->Unit(benchmark::kMillisecond)->Iterations(5);

// A synchronisation from the reference service with nothing pending (the wholesale
// replacement every sync used to be) and with 1,000 changes made while the service
// was away replayed first: 600 adds, then 200 renames and 200 deletions of them.
void BM_SyncWithPendingChanges(benchmark::State& state) {
  if (test::ServiceProcess::Program().empty()) {
    state.SkipWithError("tarvo-service is not beside the benchmark");
    return;
  }
  const int pending = static_cast<int>(state.range(0));
  LargeUserService service(false);
  ScratchFolder folder;
  UserDatabase database;
  OpenUpgraded(database, folder, "kx.dat");
  FavoritesStore store(database, service.Account());
  FavoritesSync sync(store, service.Account(), database);
  const WString api = SettingsRegistry::Instance().Get(SettingsKeys::kApiUrl);
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");  // away
    std::vector<std::string> added;
    for (int i = 0; i < pending; ++i) {
      const std::string n = std::to_string(round) + "-" + std::to_string(i);
      if (i < pending * 6 / 10) {
        Json::Value item = store.NewBookmark(u"", Utf8ToWide("Away " + n), Utf8ToWide("http://away" + n + ".test/"));
        store.AddItem(item);
        added.push_back(FavoritesTree::Id(item));
      } else if (i < pending * 8 / 10) {
        Json::Value item = store.FindById(added[static_cast<size_t>(i) % added.size()]);
        item["name"] = "Renamed " + n;
        store.UpdateItem(item);
      } else {
        store.DeleteItem(added[added.size() - 1 - static_cast<size_t>(i) % added.size()]);
      }
    }
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, api);
    ++round;
    state.ResumeTiming();
    if (sync.SyncUserFavorites() != 0 || store.PendingCount() != 0) state.SkipWithError("the sync failed");
  }
  state.counters["items"] = static_cast<double>(store.Document().CountAll());
}
BENCHMARK(BM_SyncWithPendingChanges)->Arg(0)->Arg(1000)->Unit(benchmark::kMillisecond)->Iterations(3);

// The service's 10,000-bookmark document becoming the profile's: wholesale (nothing
// pending) and with 100 changes still pending laid over it (renames, moves and
// deletions of its bookmarks, adds of new ones). No service: the document is given.
void BM_MergeTenThousand(benchmark::State& state) {
  static AccountState* account = new AccountState();
  account->SetUserId(u"5");
  account->SetToken(u"t");
  ScratchFolder folder;
  UserDatabase database;
  OpenUpgraded(database, folder, "kx.dat");
  FavoritesStore store(database, *account);
  Json::Value items(Json::arrayValue);
  for (int f = 0; f < 100; ++f) {
    Json::Value folderItem = FavoritesTree::NewFolder(f + 1, "Folder " + std::to_string(f), 1700000000);
    for (int b = 0; b < 100; ++b) {
      const int n = 1000 + f * 100 + b;
      folderItem["child"].append(FavoritesTree::NewBookmark(n, std::to_string(f + 1), "Site " + std::to_string(n),
                                                            "https://site" + std::to_string(n) + ".test/", 1700000000));
    }
    items.append(folderItem);
  }
  const FavoritesTree service{items};
  store.ReplaceUserDocument(u"5", service);
  SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");  // the changes stay pending
  for (int i = 0; i < static_cast<int>(state.range(0)); ++i) {
    const std::string id = std::to_string(1000 + i * 97);
    if (i % 4 == 0) {
      Json::Value item = store.FindById(id);
      item["name"] = "Renamed " + std::to_string(i);
      store.UpdateItem(item);
    } else if (i % 4 == 1) {
      store.MoveBookmark(id, "", u"Moved");
    } else if (i % 4 == 2) {
      store.DeleteItem(id);
    } else {
      Json::Value item = store.NewBookmark(u"3", u"New", Utf8ToWide("https://new" + std::to_string(i) + ".test/"));
      store.AddItem(item);
    }
  }
  for (auto _ : state) {
    if (store.ReplaceUserDocument(u"5", service) != 0) state.SkipWithError("the replacement failed");
  }
  state.counters["pending"] = static_cast<double>(store.PendingCount());
  state.counters["items"] = static_cast<double>(store.Document().CountAll());
}
BENCHMARK(BM_MergeTenThousand)->Arg(0)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_ImportTenThousand(benchmark::State& state) {
  ScratchFolder folder;
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (int f = 0; f < 100; ++f) {
    file += "<DT><H3 ADD_DATE=\"1700000000\">Folder " + std::to_string(f) + "</H3>\n<DL><p>\n";
    for (int b = 0; b < 100; ++b) {
      const int n = f * 100 + b;
      file += "  <DT><A HREF=\"https://site" + std::to_string(n) + ".test/path?q=" + std::to_string(n) +
              "&amp;x=1\" ADD_DATE=\"1700000000\">Site " + std::to_string(n) + " &amp; friends</A>\n";
    }
    file += "</DL><p>\n";
  }
  file += "</DL><p>\n";
  std::ofstream(folder.File("in.html")) << file;
  int round = 0;
  for (auto _ : state) {
    state.PauseTiming();
    UserDatabase database;
    OpenUpgraded(database, folder, "kx" + std::to_string(round++) + ".dat");
    FavoritesStore store(database, Offline());
    state.ResumeTiming();
    const BookmarkTransfer::Result result = BookmarkTransfer::Import(folder.File("in.html"), store);
    if (result.bookmarks != 10000) state.SkipWithError("the import lost bookmarks");
  }
  state.counters["file_kb"] = static_cast<double>(file.size()) / 1024.0;
}
BENCHMARK(BM_ImportTenThousand)->Unit(benchmark::kMillisecond);

// The most resident memory, in MiB, of a child process that runs `work`.
double ChildPeakMib(const std::function<void()>& work) {
  const pid_t child = fork();
  if (child == 0) {
    work();
    _exit(0);
  }
  int status = 0;
  rusage usage{};
  if (child < 0 || wait4(child, &status, 0, &usage) != child) return -1;
  return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void BM_ImportDeepFolders(benchmark::State& state) {
  const int levels = static_cast<int>(state.range(0));
  ScratchFolder folder;
  std::string file = "<!DOCTYPE NETSCAPE-Bookmark-file-1>\n<DL><p>\n";
  for (int i = 0; i < levels; ++i) file += "<DT><H3>f</H3>\n<DL><p>\n";
  file += "<DT><A HREF=\"https://deep.test/\">deep</A>\n";
  for (int i = 0; i < levels; ++i) file += "</DL><p>\n";
  std::ofstream(folder.File("deep.html")) << file;
  // Each child opens a profile of its own; only one of them imports.
  const auto child = [&folder](bool import) {
    return ChildPeakMib([&folder, import] {
      UserDatabase database;
      OpenUpgraded(database, folder, import ? "import.dat" : "idle.dat");
      FavoritesStore store(database, Offline());
      if (import) BookmarkTransfer::Import(folder.File("deep.html"), store);
    });
  };
  double peak = 0;
  for (auto _ : state) peak = child(true) - child(false);
  state.counters["file_kb"] = static_cast<double>(file.size()) / 1024.0;
  state.counters["peak_mib"] = peak;
}
BENCHMARK(BM_ImportDeepFolders)->Arg(4000)->Arg(8000)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tarvo::bench

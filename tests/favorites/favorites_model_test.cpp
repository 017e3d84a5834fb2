// Two browsers (two profiles, one account) and the real tarvo-service: a seeded random
// run of adds, renames, moves and deletions on both, with the service stopped and
// started at random points and each browser synchronising now and then. The test keeps
// its own expected tree, applying each change when it reaches the service (the later
// change to reach it wins: a rename or move of an item deleted meanwhile brings it
// back, a deletion removes an item moved or renamed meanwhile). At the end both
// profiles and the service hold the same document, and it is the expected one.
//
// The seeds come from TARVO_FAVORITES_SEEDS ("1,2,3" or "1-500"); a few by default.
// tests/favorites/favorites_model_soak.sh runs many.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <sstream>

#include "favorites/favorites_remote.h"
#include "favorites/favorites_store.h"
#include "favorites/favorites_sync.h"
#include "favorites_fixture.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "net/service_reply.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "store/test_database.h"
#include "support/service_process.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

using Expected = std::map<std::string, std::pair<std::string, std::string>>;  // url -> name, folder name

// A change as the expected tree applies it once it reaches the service.
struct ModelChange {
  enum class Kind { kAdd, kRename, kMove, kDelete } kind;
  std::string url;
  std::string name;
  std::string folder;  // folder name ("" = top level): where an add, a move, or a rename that brings it back puts it
};

void Apply(const ModelChange& change, Expected& expected) {
  switch (change.kind) {
    case ModelChange::Kind::kAdd:
    case ModelChange::Kind::kMove:
      expected[change.url] = {change.name, change.folder};
      return;
    case ModelChange::Kind::kRename:
      if (auto found = expected.find(change.url); found != expected.end()) {
        found->second.first = change.name;
      } else {
        expected[change.url] = {change.name, change.folder};
      }
      return;
    case ModelChange::Kind::kDelete:
      expected.erase(change.url);
      return;
  }
}

// A document as the expected tree describes it.
Expected Describe(const FavoritesTree& tree) {
  Expected described;
  for (const Json::Value& item : tree.Items()) {
    if (!FavoritesTree::IsFolder(item)) described[FavoritesTree::Url(item)] = {FavoritesTree::Name(item), ""};
    for (const Json::Value& child : item["child"]) {
      described[FavoritesTree::Url(child)] = {FavoritesTree::Name(child), FavoritesTree::Name(item)};
    }
  }
  return described;
}

std::string Show(const Expected& tree) {
  std::ostringstream out;
  for (const auto& [url, where] : tree) out << url << " \"" << where.first << "\" in \"" << where.second << "\"\n";
  return out.str();
}

std::vector<unsigned> Seeds() {
  const char* text = std::getenv("TARVO_FAVORITES_SEEDS");
  std::string seeds = text != nullptr && *text != '\0' ? text : "1,2,3";
  std::vector<unsigned> list;
  std::stringstream in(seeds);
  for (std::string part; std::getline(in, part, ',');) {
    const size_t dash = part.find('-');
    const unsigned first = static_cast<unsigned>(std::stoul(part.substr(0, dash)));
    const unsigned last = dash == std::string::npos ? first : static_cast<unsigned>(std::stoul(part.substr(dash + 1)));
    for (unsigned seed = first; seed <= last; ++seed) list.push_back(seed);
  }
  return list;
}

// One browser: its profile, its store and its synchronisation, and the changes it
// made that the service has not had yet, as the expected tree will apply them.
struct Browser {
  TestDatabase database;
  FavoritesStore store{database.db(), TestAccount()};
  FavoritesSync sync{store, TestAccount(), database.db()};
  std::vector<ModelChange> unsent;
};

class FavoritesModelRun {
 public:
  explicit FavoritesModelRun(unsigned seed) : random_(seed), seed_(seed) {}

  void Run() {
    Start();
    Login();
    // Two more folders besides the brand's, made before the random part; folders
    // keep their names and stay.
    for (const char* name : {"Work", "Later"}) {
      Json::Value folder = browsers_[0].store.NewFolder(Utf8ToWide(name));
      ASSERT_EQ(browsers_[0].store.AddItem(folder), 0);
    }
    for (Browser& browser : browsers_) ASSERT_EQ(browser.sync.SyncUserFavorites(), 0);
    expected_ = Describe(ServiceDocument());
    for (const Json::Value& item : browsers_[0].store.Document().Items()) {
      if (FavoritesTree::IsFolder(item)) folders_.push_back(FavoritesTree::Name(item));
    }
    ASSERT_EQ(folders_.size(), 3u);

    for (int step = 0; step < kSteps && !::testing::Test::HasFatalFailure(); ++step) Step(step);

    if (!service_) Start();
    for (int round = 0; round < 2; ++round) {
      for (Browser& browser : browsers_) {
        ASSERT_EQ(browser.sync.SyncUserFavorites(), 0);
        for (const ModelChange& change : browser.unsent) Apply(change, expected_);
        browser.unsent.clear();
      }
    }
    const FavoritesTree service = ServiceDocument();
    EXPECT_EQ(Show(Describe(service)), Show(expected_)) << "seed " << seed_;
    for (Browser& browser : browsers_) {
      EXPECT_EQ(browser.store.Document().ToText(), service.ToText()) << "seed " << seed_;
      EXPECT_EQ(browser.store.PendingCount(), 0) << "seed " << seed_;
    }
  }

 private:
  static constexpr int kSteps = 300;

  void Start() {
    // Its data survive the restart; its keys and certificate are made anew.
    std::filesystem::remove_all(serviceFolder_.path() / "service.db.trust");
    service_ = std::make_unique<ServiceProcess>(ServiceProcess::Program(),
                                                std::string(std::getenv("TARVO_SOURCE_DIR")) + "/service/seed/demo.json",
                                                (serviceFolder_.path() / "service.db").string(),
                                                std::vector<std::string>{}, ServiceProcess::Transport::kPlainHttp);
    ASSERT_FALSE(service_->baseUrl().empty());
    service_->UseInThisProcess();
    SettingsRegistry::Instance().Set(SettingsKeys::kBrand, u"TarvoBrowser");
  }

  void Stop() {
    service_.reset();
    SettingsRegistry::Instance().Set(SettingsKeys::kApiUrl, u"http://127.0.0.1:1/");
  }

  void Login() {
    ServiceReply reply;
    const FormBody body = FormBody().Add("username", "demo@tarvo.test").Add("password", "demo1234").Add("type", "PC");
    ASSERT_EQ(CallService(u"app/v1.0/login", body, reply), 0);
    ASSERT_TRUE(reply.succeeded()) << reply.message();
    login_.emplace(std::to_string(ServiceReply::ReadInt(reply.data(), "id")),
                   ServiceReply::ReadString(reply.data(), "token"));
  }

  FavoritesTree ServiceDocument() {
    FavoritesTree document;
    EXPECT_EQ(FavoritesRemote::FetchUserFavorites(TestAccount().Token(), document), 0);
    return document;
  }

  // The changes of `browser` reach the service, in the order it made them.
  void Delivered(Browser& browser) {
    for (const ModelChange& change : browser.unsent) Apply(change, expected_);
    browser.unsent.clear();
  }

  size_t Pick(size_t count) { return std::uniform_int_distribution<size_t>(0, count - 1)(random_); }

  void Step(int step) {
    const int roll = static_cast<int>(Pick(100));
    if (roll < 5) {
      service_ ? Stop() : Start();
      return;
    }
    Browser& browser = browsers_[Pick(2)];
    if (roll < 15) {
      const int synced = browser.sync.SyncUserFavorites();
      ASSERT_EQ(synced == 0, service_ != nullptr) << "seed " << seed_ << " step " << step;
      if (synced == 0) {
        Delivered(browser);
        // What the user sees after a synchronisation is the service's document.
        EXPECT_EQ(Show(Describe(browser.store.Document())), Show(expected_)) << "seed " << seed_ << " step " << step;
      }
      return;
    }
    std::vector<Json::Value> bookmarks;
    std::map<std::string, std::string> folderNames;  // id -> name
    for (const Json::Value& item : browser.store.Document().Items()) {
      if (FavoritesTree::IsFolder(item)) folderNames[FavoritesTree::Id(item)] = FavoritesTree::Name(item);
      if (!FavoritesTree::IsFolder(item)) bookmarks.push_back(item);
      for (const Json::Value& child : item["child"]) bookmarks.push_back(child);
    }
    const auto folderIdOf = [&](const std::string& name) {
      for (const auto& [id, folder] : folderNames) {
        if (folder == name) return id;
      }
      return std::string();
    };
    const std::string folder = Pick(3) == 0 ? "" : folders_[Pick(folders_.size())];
    ModelChange change;
    const int kind = bookmarks.empty() ? 0 : static_cast<int>(Pick(10));
    if (kind < 3) {
      change = {ModelChange::Kind::kAdd, "http://s" + std::to_string(step) + ".test/", "n" + std::to_string(step), folder};
      Json::Value item = browser.store.NewBookmark(Utf8ToWide(folderIdOf(folder)), Utf8ToWide(change.name),
                                                   Utf8ToWide(change.url));
      ASSERT_EQ(browser.store.AddItem(item), 0);
    } else {
      const Json::Value& target = bookmarks[Pick(bookmarks.size())];
      const std::string id = FavoritesTree::Id(target);
      const std::string url = FavoritesTree::Url(target);
      const std::string knownFolder = folderNames.count(FavoritesTree::FolderOf(target)) != 0
                                          ? folderNames[FavoritesTree::FolderOf(target)] : "";
      if (kind < 6) {
        change = {ModelChange::Kind::kRename, url, "r" + std::to_string(step), knownFolder};
        Json::Value renamed = target;
        renamed["name"] = change.name;
        ASSERT_EQ(browser.store.UpdateItem(renamed), 0);
      } else if (kind < 8) {
        change = {ModelChange::Kind::kMove, url, FavoritesTree::Name(target), folder};
        ASSERT_EQ(browser.store.MoveBookmark(id, folderIdOf(folder), Utf8ToWide(change.name)), 0);
      } else {
        change = {ModelChange::Kind::kDelete, url, "", ""};
        ASSERT_EQ(browser.store.DeleteItem(id), 0);
      }
    }
    browser.unsent.push_back(change);
    // The user sees the change at once, whether the service is there or not.
    Expected seen = Describe(browser.store.Document());
    Expected wanted = seen;
    Apply(change, wanted);
    EXPECT_EQ(Show(seen), Show(wanted)) << "seed " << seed_ << " step " << step;
    // Made while the service answers, it is sent at once, after what waited.
    if (service_) {
      EXPECT_EQ(browser.store.PendingCount(), 0) << "seed " << seed_ << " step " << step;
      Delivered(browser);
    } else {
      EXPECT_GT(browser.store.PendingCount(), 0) << "seed " << seed_ << " step " << step;
    }
  }

  std::mt19937 random_;
  unsigned seed_;
  TempDir serviceFolder_;
  std::unique_ptr<ServiceProcess> service_;
  std::optional<LoggedIn> login_;
  Browser browsers_[2];
  Expected expected_;
  std::vector<std::string> folders_;
};

TEST(FavoritesModelTest, TwoBrowsersAndAnIntermittentServiceEndWithTheSameExpectedTree) {
  ASSERT_FALSE(ServiceProcess::Program().empty()) << "tarvo-service is not beside the tests";
  for (unsigned seed : Seeds()) {
    FavoritesModelRun(seed).Run();
    if (::testing::Test::HasFailure()) break;
  }
}

}  // namespace
}  // namespace tarvo::test

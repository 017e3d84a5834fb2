#include <filesystem>

#include "account/account_state.h"
#include "cli_command.h"
#include "favorites/bookmark_transfer.h"
#include "favorites/favorites_store.h"
#include "store/user_database.h"

namespace tarvo::cli {

namespace {

constexpr const char* kCommand = "bookmarks";

std::string Counts(const BookmarkTransfer::Result& result) {
  return std::to_string(result.bookmarks) + " bookmarks in " + std::to_string(result.folders) + " folders";
}

int RunBookmarks(const std::vector<std::string>& args, CliStreams& io) {
  if (args.size() != 4 || args[2] != "--profile" || (args[0] != "import" && args[0] != "export")) {
    return UsageError(io, kCommand, "expects import|export FILE --profile DATABASE");
  }
  const bool importing = args[0] == "import";
  const std::string& file = args[1];
  const std::string& profile = args[3];
  // The profile is opened, created and upgraded as the browser opens it, so a new
  // profile can be filled before its first start.
  std::error_code error;
  const std::filesystem::path folder = std::filesystem::path(profile).parent_path();
  if (!folder.empty()) std::filesystem::create_directories(folder, error);
  UserDatabase database;
  if (database.OpenFile(profile) != 0 || database.Upgrade() != 0) {
    io.err << "tarvo-cli bookmarks: cannot open " << profile << ": " << database.OpenError() << "\n";
    return kExitFailed;
  }
  // Nobody logged in: the file goes to and from the anonymous favourites.
  const AccountState nobody;
  FavoritesStore store(database, nobody);
  const BookmarkTransfer::Result result =
      importing ? BookmarkTransfer::Import(file, store) : BookmarkTransfer::Export(file, store);
  if (result.status != BookmarkTransfer::Status::kDone) {
    io.err << "tarvo-cli bookmarks: " << result.detail << "\n";
    return kExitFailed;
  }
  io.out << (importing ? "imported " : "exported ") << Counts(result);
  if (result.dropped > 0) io.out << "; left out " << result.dropped << " with a script, data or file address";
  io.out << "\n";
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> BookmarkCommands() {
  return {{kCommand, "import or export a profile's favourites as a bookmark file",
           "usage: tarvo-cli bookmarks import FILE --profile DATABASE\n"
           "       tarvo-cli bookmarks export FILE --profile DATABASE\n\n"
           "FILE is a Netscape bookmark file (the HTML file desktop browsers import and\n"
           "export). Import adds its bookmarks after the favourites of the profile that\n"
           "nobody is logged in to; folders deeper than one level become folders named by\n"
           "their path. Export writes those favourites. The profile database (kx.dat) is\n"
           "created and upgraded when needed, as the browser does.\n",
           RunBookmarks}};
}

}  // namespace tarvo::cli

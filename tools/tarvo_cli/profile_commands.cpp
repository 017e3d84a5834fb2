#include <filesystem>

#include "cli_command.h"
#include "net/payload_cipher.h"
#include "protect/domain_list.h"
#include "protect/c_browser_url.h"
#include "store/info_records.h"
#include "store/query_table.h"
#include "store/user_database.h"

namespace tarvo::cli {

namespace {

std::string Decrypted(const PayloadCipher& cipher, const std::string& cipherText) {
  std::string plain;
  return cipher.DecryptText(cipherText, plain) == 0 ? plain : "<undecryptable>";
}

int ListDomains(UserDatabase& database, CliStreams& io) {
  QueryTable table;
  if (database.Query("select id, source_url, target_url, target_status, ttl from domainlist order by ttl;", {},
                     &table) < 0) {
    io.err << "tarvo-cli profile: the profile has no readable domain list\n";
    return kExitFailed;
  }
  const PayloadCipher cipher;
  io.out << "id\tsource\ttarget\tstatus\tttl\n";
  for (size_t row = 0; row < table.rows.size(); ++row) {
    io.out << table.Text(row, 0) << "\t" << Decrypted(cipher, table.Text(row, 1)) << "\t"
           << Decrypted(cipher, table.Text(row, 2)) << "\t" << table.Text(row, 3) << "\t" << table.Text(row, 4)
           << "\n";
  }
  return kExitOk;
}

int RunProfile(const std::vector<std::string>& args, CliStreams& io) {
  if (args.size() < 2) {
    return UsageError(io, "profile", "expects OPERATION DATABASE [ARGUMENT]");
  }
  const std::string& operation = args[0];
  const std::string& path = args[1];
  // Inspection must never create a profile that is not there.
  if (!std::filesystem::is_regular_file(path)) {
    io.err << "tarvo-cli profile: no database at " << path << "\n";
    return kExitFailed;
  }
  UserDatabase database;
  if (database.OpenFileReadOnly(path) != 0) {
    io.err << "tarvo-cli profile: cannot open " << path << ": " << database.OpenError() << "\n";
    return kExitFailed;
  }
  if (operation == "version" && args.size() == 2) {
    io.out << database.GetDataVersion() << "\n";
  } else if (operation == "info" && args.size() <= 3) {
    QueryTable table;
    const bool oneKey = args.size() == 3;
    const int rows = oneKey ? database.Query("select key, value from info where key = ?;", {args[2]}, &table)
                            : database.Query("select key, value from info order by key;", {}, &table);
    if (rows < 0) {
      io.err << "tarvo-cli profile: the profile has no readable info table\n";
      return kExitFailed;
    }
    for (size_t row = 0; row < table.rows.size(); ++row) {
      io.out << table.Text(row, 0) << "\t" << table.Text(row, 1) << "\n";
    }
    return oneKey && rows == 0 ? kExitFailed : kExitOk;
  } else if (operation == "domains" && args.size() == 2) {
    return ListDomains(database, io);
  } else if (operation == "engine" && args.size() == 3) {
    const DomainList domains(database);
    const CBrowserUrl router(domains, database);
    io.out << router.Route(Utf8ToWide(args[2])).engine << "\n";
  } else {
    return UsageError(io, "profile", "unknown operation or wrong arguments");
  }
  return kExitOk;
}

}  // namespace

std::vector<CliCommand> ProfileCommands() {
  return {{"profile", "inspect a profile's user database (kx.dat)",
           "usage: tarvo-cli profile OPERATION DATABASE [ARGUMENT]\n\noperations:\n"
           "  version            the data version of the database\n"
           "  info [KEY]         the info values (all, or one key)\n"
           "  domains            the protected-site list, addresses decrypted\n"
           "  engine URL         the engine type (1 Chromium, 2 compatibility) of URL\n"
           "The database is only read; a missing file is an error, never created.\n",
           RunProfile}};
}

}  // namespace tarvo::cli

#pragma once
// tarvo-service (in this process) announcing 5.5.9.0 of the brand "TarvoBrowser"
// with an installer that leaves a mark beside itself ("<installer>.ran") when it
// runs; the browser's data root and per-user store in the test's own folders.
#include <filesystem>
#include <string>
#include <vector>

#include "service/service_fixture.h"
#include "support/scoped_env.h"
#include "update/update_check.h"

namespace tarvo::test {

inline constexpr char16_t kUpdateKey[] = u"Software\\TarvoBrowser";
inline constexpr const char* kMarkingInstaller = "#!/bin/sh\necho ran > \"$0.ran\"\n";

class UpdateServiceFixture : public service::test::ServiceFixture {
 protected:
  void SetUp() override;
  // The service's options; a test may publish another host for the installer.
  virtual service::ServiceOptions Options() const;

  std::filesystem::path DataRoot() const { return dir_.path() / "data"; }
  // The installer the data root gets when the check downloads.
  std::filesystem::path Installer() const { return DataRoot() / "5.5.9.0.run"; }
  UpdateSettings Settings(const char16_t* ownVersion = u"5.5.8.1") const;
  // The names of the files in the data root, sorted.
  std::vector<std::string> DataFiles() const;
  // How often the service logged a line containing `what`.
  int LoggedRequests(const std::string& what);

  ScopedEnv config_{"XDG_CONFIG_HOME", (dir_.path() / "config").string()};
  std::string installerPath_;  // the published file
  std::string seedPath_;
};

// Polls `condition` for up to five seconds.
bool WaitUntil(const std::function<bool()>& condition);

}  // namespace tarvo::test

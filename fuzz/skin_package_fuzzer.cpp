// The skin package (a ZIP) as a damaged or foreign file may be: opening it and reading
// entries through the resource manager gives the bytes or a reported error (a package
// that does not open at all is one error, however many entries are asked for).
#include <QString>

#include <algorithm>
#include <filesystem>

#include "fuzz_support.h"
#include "ui/resource_manager.h"
#include "ui/zip_archive.h"

using DuiLib::CResourceManager;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const std::string folder = [] {
    const std::string path = tarvo::fuzz::ScratchFolder() + "/skin";
    std::filesystem::create_directories(path);
    return path;
  }();
  tarvo::fuzz::WriteWholeFile(folder + "/normal.dat", tarvo::fuzz::AsText(data, size));
  CResourceManager& resources = CResourceManager::Instance();
  int reports = 0;
  resources.SetErrorReporter([&reports](const QString&) { ++reports; });
  resources.SetResourcePath(QString::fromStdString(folder));
  resources.SetResourceZip(QStringLiteral("normal.dat"));
  int failures = 0;
  for (const char* name : {"main.xml", "images/logo.png", "LANG/EN/a.png", "\\main.xml"}) {
    failures += resources.ReadFile(QString::fromLatin1(name)) ? 0 : 1;
  }
  const bool opens = DuiLib::CZipArchive(QString::fromStdString(folder + "/normal.dat")).IsOpen();
  if (reports != (opens ? failures : std::min(failures, 1))) {
    tarvo::fuzz::Fail("a failed read went unreported");
  }
  return 0;
}

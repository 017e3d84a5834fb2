// The entry of the benchmarks that build windows: an offscreen application reading
// the built skin package beside the program.
#include <QApplication>
#include <benchmark/benchmark.h>

#include "ui/resource_manager.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  auto& resources = DuiLib::CResourceManager::Instance();
  resources.SetResourcePath(QCoreApplication::applicationDirPath());
  resources.SetResourceZip(QStringLiteral("skin/normal.dat"));
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

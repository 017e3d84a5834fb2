// Entry of the Chromium layer's test program: the engine's process start comes
// before the QApplication, and the engine is initialised once for all tests, with
// its folders in a temporary data root.
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

#include "engines/webengine/cef_cookie_manager.h"
#include "engines/webengine/cef_entry_points.h"
#include "engines/webengine/web_app.h"
#include "engines/cef_test_environment.h"
#include "support/harmless_qt_warning.h"
#include "support/temp_dir.h"

namespace {

void FailOnQtWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtDebugMsg || type == QtInfoMsg) {
    return;
  }
  const QByteArray text = message.toLocal8Bit();
  if (tarvo::test::IsHarmlessQtWarning(context, text)) {
    fprintf(stderr, "qt: %s\n", text.constData());
    return;
  }
  ADD_FAILURE() << "Qt warning: " << text.constData();
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tarvo::cef;
  auto app = std::make_shared<WebApp>();
  const CefMainArgs args{argc, argv};
  if (const int code = CefExecuteProcess(args, app, nullptr); code >= 0) {
    return code;
  }
  tarvo::test::TempDir root;
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(root.path().string()));
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM"));
  QApplication application(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  qInstallMessageHandler(FailOnQtWarning);

  auto& environment = tarvo::test::CefTestEnvironment::Instance();
  environment.data_root = QString::fromStdString(root.path().string());
  CefSettings settings;
  settings.cache_path = (root.path() / "Cache").string();
  settings.log_file = (root.path() / "Log" / "chromium.log").string();
  settings.locale = "zh-CN";
  settings.mirror_for_certificate_error = [&environment](const std::string& url) {
    environment.certificate_questions.push_back(url);
    return environment.mirror_for_certificate_error ? environment.mirror_for_certificate_error(url) : std::string();
  };
  QDir().mkpath(environment.data_root + "/Log");
  environment.initialised = CefInitialize(args, settings, app, nullptr);
  auto cookies = CefCookieManager::GetGlobalManager();
  environment.cookie_store_set =
      cookies != nullptr && cookies->SetStoragePath((environment.data_root + "/Cookie").toStdU16String(), true);

  const int result = RUN_ALL_TESTS();
  CefShutdown();
  // The verdict is in. The teardown after it (the application object and static
  // state going) crashed now and then after every test had passed (about one run
  // in eight on a loaded machine, never under a debugger), which would turn a
  // passed run into a failed one; the program leaves without it.
  std::error_code ignored;
  std::filesystem::remove_all(root.path(), ignored);
  std::fflush(nullptr);
  std::_Exit(result);
}

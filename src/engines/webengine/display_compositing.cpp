#include "engines/webengine/display_compositing.h"

#include <QCoreApplication>
#include <QQuickWindow>
#include <QString>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace tarvo::cef {

namespace {

constexpr const char* kGlIntegrationVariable = "QT_XCB_GL_INTEGRATION";
// Qt WebEngine still asks for an OpenGL context (and newer releases for the other
// graphics interfaces too) at start-up; without the integration the toolkit and the
// engine say they cannot make one, which is the point.
constexpr const char* kExpectedGlComplaints[] = {
    "Cannot create platform OpenGL context", "Cannot create platform offscreen surface",
    "No suitable graphics backend found",    "QRhiGles2: Failed to create",
    "Vulkan instance",                       "Unable to detect GPU vendor"};

bool choseSoftware = false;
QtMessageHandler previousHandler = nullptr;

void QuietExpectedGlComplaint(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  for (const char* expected : kExpectedGlComplaints) {
    if (message.contains(QLatin1String(expected))) {
      return;
    }
  }
  if (previousHandler != nullptr) {
    previousHandler(type, context, message);
  } else {
    qt_message_output(type, context, message);
  }
}

bool IsSet(const DisplayCompositing::Environment& environment, const char* name) {
  return environment(name) != nullptr;
}

}  // namespace

bool DisplayCompositing::PrefersSoftware(const Environment& environment, bool gpuDeviceExists) {
  // The user (or a packager) chose how Qt draws: leave it as chosen.
  for (const char* chosen : {"QT_QUICK_BACKEND", "QMLSCENE_DEVICE", kGlIntegrationVariable}) {
    if (IsSet(environment, chosen)) {
      return false;
    }
  }
  // Only the X11 platform is known to draw pages well this way; Wayland and others
  // keep their own OpenGL path.
  const char* platform = environment("QT_QPA_PLATFORM");
  if (platform != nullptr && std::strncmp(platform, "xcb", 3) != 0) {
    return false;
  }
  const char* forcedSoftwareGl = environment("LIBGL_ALWAYS_SOFTWARE");
  if (forcedSoftwareGl != nullptr && std::strcmp(forcedSoftwareGl, "0") != 0 && *forcedSoftwareGl != '\0') {
    return true;
  }
  return !gpuDeviceExists;
}

bool DisplayCompositing::GpuDeviceExists() {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/dev/dri", error)) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("renderD", 0) == 0 || name.rfind("card", 0) == 0) {
      return true;
    }
  }
  return false;
}

bool DisplayCompositing::ChooseBeforeApplication() {
  if (QCoreApplication::instance() != nullptr ||
      !PrefersSoftware([](const char* name) { return std::getenv(name); }, GpuDeviceExists())) {
    return false;
  }
  choseSoftware = true;
  QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
  qputenv(kGlIntegrationVariable, "none");
  previousHandler = qInstallMessageHandler(&QuietExpectedGlComplaint);
  return true;
}

void DisplayCompositing::ForgetChoiceInEnvironment() {
  if (choseSoftware) {
    qunsetenv(kGlIntegrationVariable);
  }
}

}  // namespace tarvo::cef

#include "ui_test_support.h"

#include <QApplication>
#include <QDir>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>

#include "ui/resource_manager.h"

namespace tarvo::test {

void WriteSkinPackage(const std::string& path, const std::map<std::string, std::string>& entries) {
  int code = 0;
  zip_t* archive = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
  ASSERT_NE(archive, nullptr);
  for (const auto& [name, data] : entries) {
    zip_source_t* source = zip_source_buffer(archive, data.data(), data.size(), 0);
    ASSERT_GE(zip_file_add(archive, name.c_str(), source, ZIP_FL_ENC_UTF_8), 0);
  }
  ASSERT_EQ(zip_close(archive), 0);
}

ScopedSkin::ScopedSkin(const QString& folder, const QString& packageName) {
  auto& resources = DuiLib::CResourceManager::Instance();
  resources.SetResourcePath(folder);
  resources.SetResourceZip(packageName);
  auto errors = errors_;
  resources.SetErrorReporter([errors](const QString& message) { errors->push_back(message); });
}

ScopedSkin::~ScopedSkin() {
  auto& resources = DuiLib::CResourceManager::Instance();
  resources.SetErrorReporter([](const QString&) {});
  resources.SetResourceZip(QString());
  resources.SetResourcePath(QString());
}

PackagedSkin::PackagedSkin(std::initializer_list<std::pair<const std::string, std::string>> entries) {
  std::filesystem::create_directories(dir_.path() / "skin");
  WriteSkinPackage((dir_.path() / "skin/normal.dat").string(), entries);
  skin_ = std::make_unique<ScopedSkin>(QString::fromStdString(dir_.path().string()), "skin/normal.dat");
}

QString BuiltPackageFolder() { return QDir::currentPath(); }

TestWindow::TestWindow(QString skinFile, Factory factory, QString className)
    : skinFile_(std::move(skinFile)), factory_(std::move(factory)), className_(std::move(className)) {}

void TestWindow::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    windowInitControls = CountControls(m_pm.GetRoot());
  }
  notifications.push_back({msg.sType, msg.pSender != nullptr ? msg.pSender->GetName() : QString(), msg.wParam,
                           msg.lParam});
  if (onNotify) onNotify(msg);
}

std::unique_ptr<DuiLib::CControlUI> TestWindow::CreateControl(const QString& tag) {
  return factory_ ? factory_(tag) : nullptr;
}

std::vector<RecordedNotify> TestWindow::Of(const QString& type) const {
  std::vector<RecordedNotify> out;
  for (const auto& n : notifications) {
    if (n.type == type) out.push_back(n);
  }
  return out;
}

bool TestWindow::ResponseDefaultKeyEvent(DuiLib::WPARAM key) {
  return defaultKeys && WindowImplBase::ResponseDefaultKeyEvent(key);
}

void TestWindow::OnFinalMessage(DuiLib::HWND hwnd) {
  ++finalMessages;
  WindowImplBase::OnFinalMessage(hwnd);
}

bool ShowAndWait(DuiLib::CWindowWnd& window) {
  if (window.GetWidget() == nullptr) return false;
  window.ShowWindow(true, true);
  return QTest::qWaitForWindowExposed(window.GetWidget());
}

QWidget* WaitForFocusWidget(DuiLib::CWindowWnd& window) {
  QWidget* top = window.GetWidget();
  if (top == nullptr) return nullptr;
  const auto focusedInside = [top] {
    QWidget* focused = QApplication::focusWidget();
    return focused != nullptr && focused->window() == top->window();
  };
  return QTest::qWaitFor(focusedInside, 5000) ? QApplication::focusWidget() : nullptr;
}

QPoint CentreOf(DuiLib::CControlUI* control) { return control->GetPos().center(); }

QImage SaveScreenshot(DuiLib::CWindowWnd& window, const QString& name) {
  QWidget* widget = window.GetWidget();
  if (widget == nullptr) return QImage();
  const QImage image = widget->grab().toImage();
  const QString folder = QDir::currentPath() + QStringLiteral("/../test-artifacts/ui");
  QDir().mkpath(folder);
  image.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
  return image;
}

int CountControls(DuiLib::CControlUI* root) {
  if (root == nullptr) return 0;
  int count = 0;
  root->FindControl([&](DuiLib::CControlUI*) {
    ++count;
    return false;
  });
  return count;
}

}  // namespace tarvo::test

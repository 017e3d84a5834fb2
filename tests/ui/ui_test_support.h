#pragma once
// Shared helpers of the toolkit's tests: skin packages written on the fly, a window
// that records what it hears, an error collector and screenshots.
#include <QImage>
#include <QString>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "ui/ui_notify_types.h"
#include "ui/window_impl_base.h"

namespace tarvo::test {

// Writes a ZIP with the given entries (name -> bytes) to `path`.
void WriteSkinPackage(const std::string& path, const std::map<std::string, std::string>& entries);

// Points the toolkit at a package (folder + package name) for the test's lifetime and
// collects reported errors instead of printing them.
class ScopedSkin {
 public:
  ScopedSkin(const QString& folder, const QString& packageName);
  ~ScopedSkin();
  const std::vector<QString>& Errors() const { return *errors_; }

 private:
  std::shared_ptr<std::vector<QString>> errors_ = std::make_shared<std::vector<QString>>();
};

// A package of the given entries, written to a folder of its own and in use for the
// test's lifetime.
class PackagedSkin {
 public:
  explicit PackagedSkin(std::initializer_list<std::pair<const std::string, std::string>> entries);
  const std::vector<QString>& Errors() const { return skin_->Errors(); }

 private:
  TempDir dir_;
  std::unique_ptr<ScopedSkin> skin_;
};

// The package the build made (bin/skin/normal.dat beside the test programs).
QString BuiltPackageFolder();

struct RecordedNotify {
  QString type;
  QString sender;
  DuiLib::WPARAM wParam = 0;
  DuiLib::LPARAM lParam = 0;
};

// A skinned window for tests: skin file and custom-tag factory given at construction;
// records notifications; can switch the default keys off.
class TestWindow : public DuiLib::WindowImplBase {
 public:
  using Factory = std::function<std::unique_ptr<DuiLib::CControlUI>(const QString&)>;
  explicit TestWindow(QString skinFile, Factory factory = nullptr, QString className = QStringLiteral("KXTestWnd"));

  void Notify(DuiLib::TNotifyUI& msg) override;
  std::unique_ptr<DuiLib::CControlUI> CreateControl(const QString& tag) override;

  std::vector<RecordedNotify> notifications;
  int windowInitControls = -1;  // controls that existed when "windowinit" arrived
  bool defaultKeys = true;
  int finalMessages = 0;
  std::function<void(DuiLib::TNotifyUI&)> onNotify;

  // Notifications of one type, in order.
  std::vector<RecordedNotify> Of(const QString& type) const;

 protected:
  QString GetWindowClassName() const override { return className_; }
  QString GetSkinFile() override { return skinFile_; }
  bool ResponseDefaultKeyEvent(DuiLib::WPARAM key) override;
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  QString skinFile_;
  Factory factory_;
  QString className_;
};

// Creates, shows and waits for the window to be exposed; false on failure.
bool ShowAndWait(DuiLib::CWindowWnd& window);
// The widget holding the keyboard focus once the window is the active one, or
// nullptr after 5 s. On a fresh display a window becomes active a moment after it
// is exposed, and until then the application reports no focus widget at all.
QWidget* WaitForFocusWidget(DuiLib::CWindowWnd& window);
// The centre of a control in the window's client coordinates.
QPoint CentreOf(DuiLib::CControlUI* control);
// Saves a picture of the window to <build>/test-artifacts/ui/<name>.png and returns it.
QImage SaveScreenshot(DuiLib::CWindowWnd& window, const QString& name);
// Counts the controls of a tree.
int CountControls(DuiLib::CControlUI* root);

}  // namespace tarvo::test

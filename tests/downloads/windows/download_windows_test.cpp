// The download list window from the built skin package, following the manager, and
// the save dialog.
#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "downloads/download_manager.h"
#include "downloads/save_as_prompts.h"
#include "downloads/windows/download_prompts.h"
#include "downloads/windows/download_windows.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shown_windows.h"
#include "store/test_database.h"
#include "support/language_environment.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "ui/list_ui.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

namespace fs = std::filesystem;
using DuiLib::WindowImplBase;

const auto* const kEnglish =
    ::testing::AddGlobalTestEnvironment(new LanguageEnvironment("TARVO_SOURCE_DIR", "/lang/", u"usa"));

// A main window with only a download button, for placing the list.
struct ButtonOnlyWindow : IBrowserWindow {
  DuiLib::HWND Handle() const override { return 0; }
  QRect ControlScreenRect(const QString&) const override { return QRect(700, 60, 32, 32); }
  DuiLib::CControlUI* Control(const QString&) const override { return nullptr; }
  bool IsFavoriteBarShown() const override { return false; }
  Page* CurrentPage() const override { return nullptr; }
  [[noreturn]] Pages& PageList() override { std::abort(); }
  void RunCommand(unsigned, const CommandArgs&) override {}
  bool IsCommandAvailable(unsigned) const override { return true; }
  void OnLanguageChanged() override {}
};

class DownloadWindowsTest : public ::testing::Test {
 protected:
  void SetUp() override { manager_.SetChangeListener([this] { windows_.RequestRefresh(); }); }

  // A download saved as `name` in the test folder, with its working file written.
  int64_t Add(int64_t id, const std::string& name) {
    prompts_.path = Utf8ToWide((store_.folder().path() / name).string());
    std::ofstream(WideToUtf8(prompts_.path) + ".tmp") << "data";
    manager_.BeginDownload(id, u"http://files.test/" + Utf8ToWide(name), u"", prompts_, nullptr);
    return id;
  }
  void Report(int64_t id, int64_t received, int64_t total, bool complete = false, bool ended = false) {
    manager_.ApplyReport({id, manager_.FindById(id)->url, 1536, received, total, complete, ended});
  }
  static DuiLib::CListUI& ListOf(WindowImplBase& window) {
    return *window.FindControl<DuiLib::CListUI>(QStringLiteral("download_list"));
  }
  static QString RowKind(WindowImplBase& window, int row) { return ListOf(window).GetItemAt(row)->GetName(); }
  // The control `name` of row `row`.
  static DuiLib::CControlUI* InRow(WindowImplBase& window, int row, const QString& name) {
    return ListOf(window).GetItemAt(row)->FindControl([&](DuiLib::CControlUI* c) { return c->GetName() == name; });
  }
  // Clicks a control once the list has laid it out (rows built a moment ago have
  // no place yet).
  static void Click(WindowImplBase& window, DuiLib::CControlUI* control) {
    ASSERT_NE(control, nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !control->GetPos().isEmpty(); }));
    QTest::mouseClick(window.GetWidget(), Qt::LeftButton, {}, CentreOf(control));
  }

  ScopedSkin skin_{BuiltPackageFolder(), "skin/normal.dat"};
  TestDatabase store_;
  DownloadManager manager_{store_.db()};
  DownloadWindows windows_{manager_};
  ButtonOnlyWindow mainWindow_;
  SaveAs prompts_;
};

// A missing file is told and the list closes; every row says
// how its download stands (why, in words, when it failed); a new download is added on
// top, and a row's cancel button cancels it. Pausing, continuing, deleting and clearing
// are run end to end.
TEST_F(DownloadWindowsTest, RowsSayHowTheirDownloadsStandAndTheButtonsActOnThem) {
  int64_t id = 0;
  Add(++id, "gone.bin");
  Report(id, 4, 4, true);
  fs::remove(store_.folder().path() / "gone.bin");
  std::string told;
  WhenShown("KXDownloadWnd", [&](WindowImplBase& window) {
    WhenShown("KXMessageBox", [&](WindowImplBase& box) {
      told = box.FindControl("message")->GetText().toStdString();
      ClickControl(box, "ensure_btn");
    });
    Click(window, InRow(window, 0, "dlopendir_btn"));
  });
  windows_.Show(mainWindow_, false);
  EXPECT_EQ(told, "The file " + (store_.folder().path() / "gone.bin").string() + " does not exist.");
  EXPECT_EQ(ShownWindowOf("KXDownloadWnd"), nullptr) << "the list closes after telling";
  manager_.RemoveRecord(id);

  using Problem = DownloadRecord::Problem;
  struct Case {
    const char* name;
    bool complete;
    Problem failure;  // Problem::kNone: cancelled by the user
    const char* status;
  };
  const std::vector<Case> cases = {
      {"whole.bin", true, Problem::kNone, "50.00 MB · Done"},
      {"cancelled.bin", false, Problem::kNone, "10.00 MB / 50.00 MB · Not finished"},
      {"full.bin", false, Problem::kDiskFull, "Failed: the disk is full"},
      {"closed.bin", false, Problem::kConnectionLost, "Failed: the server closed the connection"},
      {"denied.bin", false, Problem::kNoPermission, "Failed: no permission to write there"}};
  constexpr int64_t kWhole = 50 * 1024 * 1024;
  for (const Case& c : cases) {
    Add(++id, c.name);
    if (c.failure == Problem::kNone && !c.complete) manager_.RequestCancel(id);
    manager_.ApplyReport({id, manager_.FindById(id)->url, 0, c.complete ? kWhole : kWhole / 5, kWhole, c.complete,
                          !c.complete, c.failure});
  }
  const int64_t running = Add(++id, "movie.mkv");
  Report(running, 1234567, 5368709120);
  const int rows = static_cast<int>(cases.size()) + 1;
  WhenShown("KXDownloadWnd", [&](WindowImplBase& window) {
    ASSERT_EQ(ListOf(window).GetCount(), rows);
    EXPECT_EQ(RowKind(window, 0), "running");
    EXPECT_EQ(InRow(window, 0, "status")->GetText(), QString::fromUtf8("1.50 KB/s - 1.18 MB，Total 5.00 GB"));
    for (size_t i = 0; i < cases.size(); ++i) {
      const int row = rows - 1 - static_cast<int>(i);  // newest first
      EXPECT_EQ(InRow(window, row, "status")->GetText(), QString::fromUtf8(cases[i].status)) << cases[i].name;
    }
    SaveScreenshot(window, "downloads_list");
    Add(++id, "notes.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ListOf(window).GetCount() == rows + 1; }));
    EXPECT_EQ(InRow(window, 0, "filename")->GetText(), "notes.txt");
    Click(window, InRow(window, 1, "dlcancel_btn"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return manager_.FindById(running)->state == DownloadState::kCancelled; }));
    ClickControl(window, "download/closebtn");
  });
  windows_.Show(mainWindow_, false);
}

TEST(DownloadPromptsTest, TheSaveDialogSuggestsTheNameAndConfirmsOverwriting) {
  TempDir folder;
  ScopedEnv home("HOME", folder.path().string());
  std::ofstream(folder.path() / "taken.bin") << "old";
  DownloadPrompts prompts;
  QString suggested;
  bool confirmed = false;
  QTimer::singleShot(300, [&] {
    auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    ASSERT_NE(dialog, nullptr);
    auto* name = dialog->findChild<QLineEdit*>();
    suggested = name->text();
    // The box asking about the existing file comes up inside the dialog's accept.
    QTimer::singleShot(300, [&] {
      auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
      ASSERT_NE(box, nullptr);
      confirmed = true;
      box->button(QMessageBox::Yes)->click();
    });
    name->setText(QString::fromStdString((folder.path() / "taken.bin").string()));
    QTest::keyClick(name, Qt::Key_Return);
  });
  const WString chosen = prompts.ChooseTarget(u"sub/../report \"1\".pdf");
  EXPECT_EQ(suggested, QStringLiteral("report \"1\".pdf"));
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(WideToUtf8(chosen), (folder.path() / "taken.bin").string());

  QTimer::singleShot(300, [] { QApplication::activeModalWidget()->close(); });
  EXPECT_TRUE(prompts.ChooseTarget(u"x.bin").empty()) << "a cancelled dialog chooses nothing";
}

}  // namespace
}  // namespace tarvo::test

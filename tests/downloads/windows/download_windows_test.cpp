// The download list window from the built skin package, following the manager.
#include <QTest>
#include <filesystem>
#include <fstream>

#include <gtest/gtest.h>

#include "downloads/download_manager.h"
#include "downloads/i_download_prompts.h"
#include "downloads/windows/download_windows.h"
#include "shell/mainwnd/i_browser_window.h"
#include "shown_windows.h"
#include "store/test_database.h"
#include "support/language_environment.h"
#include "ui/check_box_ui.h"
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

struct SaveAs : IDownloadPrompts {
  bool ConfirmReplace(const DownloadRecord&) override { return true; }
  void TellAlreadyDownloading(const DownloadRecord&) override {}
  WString ChooseTarget(const WString&) override { return path; }
  WString path;
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

TEST_F(DownloadWindowsTest, RowsFollowTheDownloadsAndTheButtonsMoveThem) {
  Add(1, "report.pdf");
  Report(1, 4, 4, true);
  Add(2, "broken.zip");
  Report(2, 10, 100, false, true);
  Add(3, "movie.mkv");
  Report(3, 1234567, 5368709120);
  WhenShown("KXDownloadWnd", [&](WindowImplBase& window) {
    // Right edges aligned, right below the button.
    EXPECT_EQ(window.GetWindowRect().topRight(), QPoint(731, 92));
    ASSERT_EQ(ListOf(window).GetCount(), 3);
    EXPECT_EQ(RowKind(window, 0), "running");
    EXPECT_EQ(RowKind(window, 1), "stop");
    EXPECT_EQ(InRow(window, 0, "filename")->GetText(), "movie.mkv");
    EXPECT_EQ(InRow(window, 0, "status")->GetText(), QString::fromUtf8("1.50 KB/s - 1.18 MB，Total 5.00 GB"));
    EXPECT_EQ(InRow(window, 1, "status")->GetText(), "Download failed");
    EXPECT_NE(InRow(window, 2, "dlopendir_btn"), nullptr);
    SaveScreenshot(window, "downloads_list");

    // Pausing, continuing, deleting a file and clearing the list are run end to end.
    // A new download comes: the list is built again with it on top.
    Add(4, "notes.txt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return ListOf(window).GetCount() == 4; }));
    EXPECT_EQ(InRow(window, 0, "filename")->GetText(), "notes.txt");
    Click(window, InRow(window, 1, "dlcancel_btn"));
    ClickControl(window, "download/closebtn");
  });
  windows_.Show(mainWindow_, false);
  EXPECT_EQ(manager_.FindById(3)->state, DownloadState::kCancelled);
}

// Every ended row says how it ended (why, in words, when it failed), and an empty
// list says it is empty instead of showing a blank panel.
TEST_F(DownloadWindowsTest, EndedRowsSayHowTheyEndedAndAnEmptyListSaysSo) {
  WhenShown("KXDownloadWnd", [&](WindowImplBase& window) {
    EXPECT_FALSE(ListOf(window).IsVisible());
    DuiLib::CControlUI* empty = window.FindControl("download/empty");
    ASSERT_NE(empty, nullptr);
    EXPECT_TRUE(empty->IsVisible());
    EXPECT_EQ(empty->GetText(), "No downloads yet");
    SaveScreenshot(window, "downloads_empty");
    ClickControl(window, "download/closebtn");
  });
  windows_.Show(mainWindow_, false);

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
  int64_t id = 0;
  for (const Case& c : cases) {
    Add(++id, c.name);
    if (c.failure == Problem::kNone && !c.complete) manager_.RequestCancel(id);
    manager_.ApplyReport({id, manager_.FindById(id)->url, 0, c.complete ? kWhole : kWhole / 5, kWhole, c.complete,
                          !c.complete, c.failure});
  }
  WhenShown("KXDownloadWnd", [&](WindowImplBase& window) {
    ASSERT_EQ(ListOf(window).GetCount(), static_cast<int>(cases.size()));
    for (size_t i = 0; i < cases.size(); ++i) {
      const int row = static_cast<int>(cases.size() - 1 - i);  // newest first
      EXPECT_EQ(InRow(window, row, "status")->GetText(), QString::fromUtf8(cases[i].status)) << cases[i].name;
    }
    SaveScreenshot(window, "downloads_ended_rows");
    ClickControl(window, "download/closebtn");
  });
  windows_.Show(mainWindow_, false);
}

TEST_F(DownloadWindowsTest, AMissingFileIsToldAndTheListCloses) {
  Add(1, "gone.bin");
  Report(1, 4, 4, true);
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
  EXPECT_EQ(ShownWindowOf("KXDownloadWnd"), nullptr);
}

TEST_F(DownloadWindowsTest, ClosesByItselfWhenANewDownloadOpenedItAndWhenItLosesTheFocus) {
  Add(1, "new.bin");
  bool shown = false;
  WhenShown("KXDownloadWnd", [&](WindowImplBase&) { shown = true; });
  windows_.Show(mainWindow_, true);  // returns once the list has closed by itself
  EXPECT_TRUE(shown);

  // Another program's window takes the focus (this program's own are held back while
  // the list runs modally).
  WhenShown("KXDownloadWnd", [&](WindowImplBase& window) { window.SendMessage(DuiLib::WM_KILLFOCUS, 0); });
  windows_.Show(mainWindow_, false);
  EXPECT_EQ(ShownWindowOf("KXDownloadWnd"), nullptr);
}

}  // namespace
}  // namespace tarvo::test

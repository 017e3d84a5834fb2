// The desktop side of downloads: the file manager asked over a private session bus
// (and its absence noticed), the save dialog that confirms overwriting, and the
// file-type pictures.
#include <QAbstractButton>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QTest>
#include <QTimer>
#include <fstream>

#include <gtest/gtest.h>

#include "downloads/windows/desktop_files.h"
#include "downloads/windows/download_prompts.h"
#include "downloads/windows/file_type_icons.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

// A file manager on the bus that remembers what it was asked to show.
class FakeFileManager : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
 public:
  QStringList shown;
 public slots:
  Q_SCRIPTABLE void ShowItems(const QStringList& uris, const QString&) { shown += uris; }
};

// A session bus of the test's own, and two connections to it: the browser's and the
// file manager's.
class PrivateSessionBus {
 public:
  PrivateSessionBus() {
    daemon_.start(QStringLiteral("dbus-daemon"),
                  {QStringLiteral("--session"), QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
    if (daemon_.waitForStarted(5000) && daemon_.waitForReadyRead(5000)) {
      address_ = QString::fromLatin1(daemon_.readLine().trimmed());
    }
  }
  ~PrivateSessionBus() {
    for (const QString& name : names_) QDBusConnection::disconnectFromBus(name);
    daemon_.kill();
    daemon_.waitForFinished(5000);
  }
  QDBusConnection Connect(const QString& name) {
    names_ << name;
    return QDBusConnection::connectToBus(address_, name);
  }

 private:
  QProcess daemon_;
  QString address_;
  QStringList names_;
};

TEST(DesktopFilesTest, TheFileManagerIsAskedToSelectTheFileOrFoundMissing) {
  PrivateSessionBus bus;
  QDBusConnection browser = bus.Connect(QStringLiteral("browser"));
  ASSERT_TRUE(browser.isConnected()) << "dbus-daemon did not start";
  std::optional<bool> answer;
  const QString file = QStringLiteral("/tmp/some folder/report 1.pdf");
  ASSERT_TRUE(DesktopFiles::AskFileManager(browser, file, [&](bool taken) { answer = taken; }));
  ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
  EXPECT_FALSE(*answer) << "nobody owns the name: the folder opens instead";

  QDBusConnection serving = bus.Connect(QStringLiteral("manager"));
  FakeFileManager manager;
  ASSERT_TRUE(serving.registerService(QStringLiteral("org.freedesktop.FileManager1")));
  ASSERT_TRUE(serving.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager,
                                     QDBusConnection::ExportScriptableSlots));
  answer.reset();
  ASSERT_TRUE(DesktopFiles::AskFileManager(browser, file, [&](bool taken) { answer = taken; }));
  ASSERT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 10000));
  EXPECT_TRUE(*answer);
  EXPECT_EQ(manager.shown, QStringList{QStringLiteral("file:///tmp/some%20folder/report%201.pdf")});
}

TEST(DesktopFilesTest, TheSaveDialogSuggestsTheNameAndConfirmsOverwriting) {
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

TEST(DesktopFilesTest, TypesGetPicturesOfTheirSize) {
  FileTypeIcons icons(32);
  for (const char* name : {"report.pdf", "movie.mkv", "no-extension", ""}) {
    const QImage picture = icons.For(QString::fromLatin1(name));
    EXPECT_FALSE(picture.isNull()) << name;
    EXPECT_LE(picture.width(), 32) << name;
  }
}

}  // namespace
}  // namespace tarvo::test

#include "desktop_files_test.moc"

// Downloads through the Chromium layer: the path chosen before the start, progress
// with received and total bytes, pause, resume, cancel and completion.
#include <QFile>

#include "engines/cef_fixture.h"
#include "support/temp_dir.h"

namespace tarvo::test {
namespace {

class CefDownloadTest : public CefFixture {
 protected:
  void SetUp() override {
    CefFixture::SetUp();
    for (int i = 0; i < kSize; ++i) {
      payload_.append(static_cast<char>('a' + i % 26));
    }
    TestHttpServer::Response file;
    file.content_type = "application/octet-stream";
    file.body = payload_;
    file.headers.append(qMakePair(QByteArray("Content-Disposition"), QByteArray("attachment; filename=\"report.bin\"")));
    file.headers.append(qMakePair(QByteArray("Accept-Ranges"), QByteArray("bytes")));
    file.headers.append(qMakePair(QByteArray("ETag"), QByteArray("\"report-1\"")));
    file.chunk_size = 16 * 1024;
    file.chunk_interval_ms = 40;
    server_.Route("/report.bin", file);
  }

  static constexpr int kSize = 1024 * 1024;
  QByteArray payload_;
  TempDir folder_;
};

TEST_F(CefDownloadTest, CompletesWithAllBytesAtTheChosenPath) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  const QString target = QString::fromStdString((folder_.path() / "saved.bin").string());
  client_->download_path = target.toStdU16String();
  browser->GetHost()->StartDownload(server_.Url("/report.bin").toStdU16String());
  ASSERT_TRUE(WaitFor([&] { return !client_->download_updates.empty() && client_->download_updates.back().complete; },
                      60000));

  ASSERT_EQ(client_->suggested_names.size(), 1U);
  EXPECT_EQ(client_->suggested_names.front(), u"report.bin");
  const auto& last = client_->download_updates.back();
  EXPECT_EQ(last.received_bytes, kSize);
  EXPECT_EQ(last.total_bytes, kSize);
  EXPECT_EQ(QString::fromStdU16String(last.full_path), target);
  EXPECT_EQ(QString::fromStdU16String(last.url), server_.Url("/report.bin"));
  QFile saved(target);
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  EXPECT_EQ(saved.readAll(), payload_);
  // Progress never runs backwards or past the total.
  int64_t previous = 0;
  for (const auto& update : client_->download_updates) {
    EXPECT_GE(update.received_bytes, previous);
    EXPECT_LE(update.received_bytes, kSize);
    previous = update.received_bytes;
  }
}

TEST_F(CefDownloadTest, PauseIsReportedAndAPausedDownloadCanBeCancelled) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);
  const QString target = QString::fromStdString((folder_.path() / "paused.bin").string());
  client_->download_path = target.toStdU16String();
  bool pause_asked = false;
  client_->on_download_update = [&](const CefDownloadItem& item, CefDownloadItemCallback& callback) {
    if (!pause_asked && item.IsInProgress() && item.GetReceivedBytes() > 0) {
      pause_asked = true;
      callback.Pause();
    } else if (item.IsPaused()) {
      callback.Cancel();
    }
  };
  browser->GetHost()->StartDownload(server_.Url("/report.bin").toStdU16String());
  ASSERT_TRUE(WaitFor([&] { return !client_->download_updates.empty() && client_->download_updates.back().canceled; },
                      60000));
  const bool saw_paused = std::any_of(client_->download_updates.begin(), client_->download_updates.end(),
                                      [](const auto& update) { return update.paused; });
  EXPECT_TRUE(saw_paused);
  EXPECT_FALSE(QFile::exists(target));
}

TEST_F(CefDownloadTest, CancelledAndRefusedDownloadsLeaveNoFile) {
  CefRefPtr<CefBrowser> browser = Open(server_.Url("/basic.html"));
  ASSERT_NE(browser, nullptr);

  // Refused: the client does not continue, so nothing is written.
  browser->GetHost()->StartDownload(server_.Url("/report.bin").toStdU16String());
  ASSERT_TRUE(WaitFor([&] { return client_->suggested_names.size() == 1; }));
  QTest::qWait(300);
  EXPECT_TRUE(client_->download_updates.empty());

  const QString target = QString::fromStdString((folder_.path() / "cancelled.bin").string());
  client_->download_path = target.toStdU16String();
  client_->on_download_update = [](const CefDownloadItem& item, CefDownloadItemCallback& callback) {
    if (item.IsInProgress() && item.GetReceivedBytes() > 0) {
      callback.Cancel();
    }
  };
  browser->GetHost()->StartDownload(server_.Url("/report.bin").toStdU16String());
  ASSERT_TRUE(WaitFor([&] { return !client_->download_updates.empty() && client_->download_updates.back().canceled; },
                      60000));
  EXPECT_LT(client_->download_updates.back().received_bytes, kSize);
  EXPECT_FALSE(QFile::exists(target));
}

}  // namespace
}  // namespace tarvo::test

#include "store/download_records.h"

#include <gtest/gtest.h>

#include "store/test_database.h"

namespace tarvo {
namespace {

using test::TestDatabase;

DownloadRow Row(const WString& url, int64_t received, int status) {
  return DownloadRow{url, u"/home/u/Downloads/" + url.substr(url.rfind(u'/') + 1), u"file", received, 5'000'000'000,
                     status, 0};
}

TEST(DownloadRecords, SavingTwiceKeepsOneRowWithTheSecondValues) {
  TestDatabase store;
  DownloadRecords downloads(store.db());
  ASSERT_EQ(downloads.SaveDownload(Row(u"http://example.com/a.iso", 10, 1)), 0);
  // Sizes past 2^31 survive; the row keeps its creation time.
  ASSERT_EQ(downloads.SaveDownload(Row(u"http://example.com/a.iso", 4'294'967'296 + 7, 3)), 0);
  std::vector<DownloadRow> rows;
  ASSERT_EQ(downloads.ListDownloads(rows), 1);
  EXPECT_EQ(rows[0].filePath, u"/home/u/Downloads/a.iso");
  EXPECT_EQ(rows[0].received, 4'294'967'303);
  EXPECT_EQ(rows[0].status, 3);
}

TEST(DownloadRecords, ListIsNewestFirstWithDescendingOrderKeys) {
  TestDatabase store;
  DownloadRecords downloads(store.db());
  for (const char16_t* url : {u"http://e.com/1", u"http://e.com/2", u"http://e.com/3"}) {
    downloads.SaveDownload(Row(url, 0, 0));
  }
  // An old row written without created_at sorts after the dated ones.
  store.db().Execute("insert into download (fileurl, status) values ('http://e.com/old', 2)");
  std::vector<DownloadRow> rows;
  ASSERT_EQ(downloads.ListDownloads(rows), 4);
  EXPECT_EQ(rows[0].fileUrl, u"http://e.com/3");
  EXPECT_EQ(rows[1].fileUrl, u"http://e.com/2");
  EXPECT_EQ(rows[2].fileUrl, u"http://e.com/1");
  EXPECT_EQ(rows[3].fileUrl, u"http://e.com/old");
  EXPECT_EQ(rows[3].orderKey, 0x7FFFFFFF - 3);
}

TEST(DownloadRecords, EmptyUrlIsRefusedAndDeleteRemovesTheRow) {
  TestDatabase store;
  DownloadRecords downloads(store.db());
  EXPECT_EQ(downloads.SaveDownload(Row(u"", 0, 0)), -1);
  EXPECT_EQ(downloads.DeleteDownload(Row(u"", 0, 0)), -1);
  downloads.SaveDownload(Row(u"http://e.com/x", 0, 0));
  EXPECT_EQ(downloads.DeleteDownload(Row(u"http://e.com/x", 0, 0)), 0);
  std::vector<DownloadRow> rows;
  EXPECT_EQ(downloads.ListDownloads(rows), 0);
  store.db().Execute("drop table download");
  EXPECT_EQ(downloads.ListDownloads(rows), 0);
  EXPECT_EQ(downloads.SaveDownload(Row(u"http://e.com/x", 0, 0)), -1);
}

}  // namespace
}  // namespace tarvo

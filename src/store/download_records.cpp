#include "store/download_records.h"

#include "platform/clock.h"

namespace tarvo {

namespace {

constexpr int64_t kNewestOrderKey = 0x7FFFFFFF;

}  // namespace

int DownloadRecords::ListDownloads(std::vector<DownloadRow>& out) const {
  QueryTable table;
  // rowid breaks ties between rows written in the same second, and orders old rows
  // that carry no created_at among themselves.
  const int rows = database_.Query("SELECT fileurl,filepath,filename,received,total,status FROM download "
                                   "ORDER BY created_at DESC, rowid DESC;",
                                   {}, &table);
  for (int i = 0; i < rows; ++i) {
    const auto row = static_cast<size_t>(i);
    out.push_back({Utf8ToWide(table.Text(row, 0)), Utf8ToWide(table.Text(row, 1)), Utf8ToWide(table.Text(row, 2)),
                   table.Integer(row, 3), table.Integer(row, 4), static_cast<int>(table.Integer(row, 5)),
                   kNewestOrderKey - i});
  }
  return rows < 0 ? 0 : rows;
}

int DownloadRecords::SaveDownload(const DownloadRow& row) const {
  if (row.fileUrl.empty()) {
    return -1;
  }
  return database_.RunInTransaction([&] {
    const int found = database_.Query("SELECT fileurl FROM download WHERE fileurl=?;", {row.fileUrl});
    const int64_t now = NowSeconds();
    if (found == 0) {
      return database_.Execute("INSERT INTO download (fileurl, filepath, filename, received, total, status, "
                               "created_at, updated_at)values(?,?,?,?,?,?,?,?);",
                               {row.fileUrl, row.filePath, row.fileName, row.received, row.total, row.status, now,
                                now}) == 0;
    }
    return found > 0 && database_.Execute("UPDATE download SET filepath=?,filename=?,received=?,total=?,status=?,"
                                          "updated_at=? WHERE fileurl=?;",
                                          {row.filePath, row.fileName, row.received, row.total, row.status, now,
                                           row.fileUrl}) == 0;
  });
}

int DownloadRecords::DeleteDownload(const DownloadRow& row) const {
  if (row.fileUrl.empty()) {
    return -1;
  }
  return database_.Execute("DELETE FROM download WHERE fileurl=?;", {row.fileUrl});
}

}  // namespace tarvo

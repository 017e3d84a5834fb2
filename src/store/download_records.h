#pragma once

#include <vector>

#include "store/download_row.h"
#include "store/user_database.h"

namespace tarvo {

// The rows of the download table.
//
// Threads: any thread; the database's connection mutex guards every operation.
// Holds a non-owning reference; the database outlives it.
class DownloadRecords {
 public:
  explicit DownloadRecords(UserDatabase& database) : database_(database) {}

  // Appends every stored download to `out`, newest first. Returns the number of
  // rows; 0 when the query fails.
  int ListDownloads(std::vector<DownloadRow>& out) const;

  // Inserts the row for `row.fileUrl`, or updates it when one exists. New rows get
  // created_at, every write updated_at. -1 when the URL is empty or a statement fails.
  int SaveDownload(const DownloadRow& row) const;

  // Deletes the row for `row.fileUrl`. -1 when the URL is empty or the delete fails.
  int DeleteDownload(const DownloadRow& row) const;

 private:
  UserDatabase& database_;
};

}  // namespace tarvo

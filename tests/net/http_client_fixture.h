#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "net/http_factory.h"
#include "net/i_http_base.h"
#include "support/temp_dir.h"

namespace tarvo::test {

// Records progress reports and cancels on request.
class RecordingCallback : public IHttpCallback {
 public:
  void OnDownloadProgress(uint32_t context, int32_t state, double total, double done) override {
    contexts.push_back(context);
    reports.emplace_back(state, total, done);
  }
  bool IsCancelled() override { return ++polls > cancelAfterPolls; }

  std::vector<uint32_t> contexts;
  std::vector<std::tuple<int32_t, double, double>> reports;
  int polls = 0;
  int cancelAfterPolls = 1 << 30;
};

// A client of one kind, with helpers to download into a temporary folder.
class HttpClientFixture : public ::testing::TestWithParam<HttpClientKind> {
 protected:
  void SetUp() override;

  HttpClientKind kind() const { return GetParam(); }
  // Shortens the bound on waiting for data, so time-out cases take a second.
  void UseShortStall();
  // Downloads into `target` (default: a fresh file in the temporary folder).
  bool ToFile(const std::string& url);
  std::optional<std::string> ToMem(const std::string& url);
  std::string FileContent() const;
  bool FileExists() const { return std::filesystem::exists(target_); }
  HttpInterfaceError error() { return client_->GetErrorCode(); }

  TempDir temp_;
  std::filesystem::path target_;
  RecordingCallback callback_;
  HttpClientPtr<IHttpBase> client_;
};

// Readable test names: Socket, Wininet, WinHttp.
std::string KindName(const ::testing::TestParamInfo<HttpClientKind>& info);

}  // namespace tarvo::test

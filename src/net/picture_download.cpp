#include "net/picture_download.h"

#include <array>
#include <functional>
#include <optional>

#include "net/curl_transfer.h"
#include "net/http_interface_error.h"
#include "net/http_url.h"
#include "net/target_file.h"

namespace tarvo {

namespace {

bool StartsWith(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

}  // namespace

TransferLimits PictureDownload::DefaultLimits() {
  TransferLimits limits;
  limits.connectMs = 5000;
  limits.requestTotalMs = 15000;
  limits.stallMs = 5000;
  limits.maxTextBytes = kMaxBytes;
  limits.maxDownloadBytes = kMaxBytes;
  return limits;
}

bool PictureDownload::LooksLikePicture(std::string_view head) {
  using namespace std::string_view_literals;
  // Formats by their opening bytes; WebP also names itself at offset 8.
  static constexpr std::array kSignatures = {
      "\x00\x00\x01\x00"sv,                  // ICO
      "\x00\x00\x02\x00"sv,                  // CUR, which icon readers take too
      "\x89PNG\r\n\x1a\n"sv,                 // PNG
      "GIF87a"sv,          "GIF89a"sv,       // GIF
      "\xff\xd8\xff"sv,                      // JPEG
      "BM"sv,                                // BMP
  };
  for (std::string_view signature : kSignatures) {
    if (StartsWith(head, signature)) return true;
  }
  return head.size() >= 12 && StartsWith(head, "RIFF") && head.substr(8, 4) == "WEBP";
}

bool PictureDownload::Run(const WString& url, const RequestRoute& route, IHttpCallback* callback,
                          const TransferLimits& limits, const std::function<void()>& open,
                          const std::function<void(std::string_view)>& write) {
  const std::optional<HttpUrl> address = HttpUrl::Parse(WStringView(url));
  if (!address) return false;
  CurlTransferSetup setup;
  setup.url = &*address;
  setup.limits = limits;
  setup.boundWholeRequest = true;
  setup.callback = callback;
  setup.route = route;
  bool opened = false;
  std::string head;  // the first bytes, held back until they show a picture
  uint64_t received = 0;
  const auto checkHead = [&]() {
    if (!LooksLikePicture(head)) throw kHttpErrorHeader;
    write(head);
    head.clear();
  };
  try {
    CurlTransfer::Run(
        setup,
        [&](const CHttpHeader& answer) {
          if (answer.status() < 200 || answer.status() >= 300) throw kHttpErrorNotFound;
          open();
          opened = true;
        },
        [&](std::string_view data) {
          received += data.size();
          if (received > limits.maxDownloadBytes) throw kHttpErrorReadBody;
          if (received - data.size() >= kSignatureBytes) {
            write(data);
            return;
          }
          head.append(data);
          if (head.size() >= kSignatureBytes) checkHead();
        });
    if (!opened) return false;
    if (!head.empty() || received == 0) checkHead();
    return true;
  } catch (HttpInterfaceError) {
    return false;
  }
}

bool PictureDownload::ToFile(const WString& url, const std::string& utf8Path, const RequestRoute& route,
                             IHttpCallback* callback, const TransferLimits& limits) {
  std::optional<TargetFile> file;
  try {
    const bool whole = Run(
        url, route, callback, limits, [&] { file.emplace(utf8Path, false); },
        [&](std::string_view data) { file->Write(data); });
    if (!whole) return false;  // the file, if any, goes with its object
    file->Commit();
    return true;
  } catch (HttpInterfaceError) {
    return false;
  }
}

bool PictureDownload::ToMemory(const WString& url, std::string& bytes, const RequestRoute& route,
                               const TransferLimits& limits) {
  std::string received;
  if (!Run(url, route, nullptr, limits, [] {}, [&](std::string_view data) { received.append(data); })) return false;
  bytes = std::move(received);
  return true;
}

}  // namespace tarvo

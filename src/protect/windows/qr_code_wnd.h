#pragma once
// The QR window ("qrcode.xml"): a QR code of a text (the address the user sees) for
// a phone to scan. The code is written as "qrcode.png" into the cache folder by
// QrCodeImage, the same code `tarvo-cli qr` runs, and the window sizes its frame to
// the picture, one screen pixel per picture pixel (a scaled code blurs). A private
// window's address never reaches the disk: its code is made and shown in memory. A
// text the code cannot hold, or a picture that cannot be written, is explained in
// the window.
//
// Threads: GUI thread only. Modal; the object lives on the caller's stack.
#include "platform/text.h"
#include "protect/qr_code_image.h"
#include "ui/window_impl_base.h"

namespace tarvo {

class QRCodeWnd : public DuiLib::WindowImplBase {
 public:
  static constexpr char16_t kFileName[] = u"qrcode.png";
  enum class Storage { kCacheFile, kMemoryOnly };

  // `cacheFolder`: where the picture goes ("appdata/cache", ending with "/"); with
  // kMemoryOnly (a private window's address) nothing is written there.
  QRCodeWnd(WString text, WString cacheFolder, Storage storage = Storage::kCacheFile)
      : text_(std::move(text)), path_(std::move(cacheFolder) + kFileName), storage_(storage) {}

  // Creates the window centred on `owner` and runs it modally.
  int Run(DuiLib::HWND owner);
  // The outcome of writing the picture (known once the window is created).
  const QrCodeImage::Result& Written() const { return written_; }
  const WString& PicturePath() const { return path_; }

  void Notify(DuiLib::TNotifyUI& msg) override;
  std::unique_ptr<DuiLib::CControlUI> CreateControl(const QString& tag) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXQRCodeWnd"); }
  QString GetSkinFile() override { return QStringLiteral("qrcode.xml"); }

 private:
  void Fill();
  // Makes the code in memory and shows it there.
  void ShowFromMemory();
  void ShowPicture();
  void ShowProblem();

  WString text_;
  WString path_;
  Storage storage_;
  QrCodeImage::Result written_;
};

}  // namespace tarvo

#include "protect/windows/qr_code_wnd.h"

#include <algorithm>

#include <QImage>

#include "protect/windows/memory_picture_ui.h"
#include "protect/windows/sign_and_qr_language_keys.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

constexpr int kFrameInset = 10;   // the frame's inset around the picture (skin)
constexpr int kSideMargin = 32;   // white space left and right of the frame
constexpr int kMinWidth = 260;    // the skin's own size, for the short codes
constexpr int kTitleHeight = 44;
constexpr int kScanHeight = 40;
constexpr int kProblemHeight = 72;

}  // namespace

int QRCodeWnd::Run(DuiLib::HWND owner) {
  if (Create(owner, QStringLiteral("QR_code_wnd"), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW) == 0) return -1;
  CenterWindow();
  return ShowModal();
}

void QRCodeWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr &&
             msg.pSender->GetName() == QLatin1String("cancel_btn")) {
    Close(DuiLib::IDCANCEL);
  }
  WindowImplBase::Notify(msg);
}

void QRCodeWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  for (WStringView key : SignAndQrLanguageKeys::kQrTexts) {
    SetLanguageText(FindControl(QString::fromUtf16(key.data(), static_cast<int>(key.size()))), key);
  }
  if (storage_ == Storage::kMemoryOnly) {
    ShowFromMemory();
    return;
  }
  written_ = QrCodeImage::WriteFile(WideToUtf8(text_), WideToUtf8(path_));
  if (written_.status == QrCodeImage::Status::kOk) {
    if (auto* picture = FindControl(QStringLiteral("qrcode_img"))) {
      // A bare absolute path: the attribute syntax would break on a quote in it.
      picture->SetBkImage(QString::fromStdU16String(path_));
    }
    ShowPicture();
  } else {
    ShowProblem();
  }
}

void QRCodeWnd::ShowFromMemory() {
  QrCodeImage code;
  written_ = {QrCodeImage::Encode(WideToUtf8(text_), code), {}, code.PixelSide()};
  const std::string bitmap = written_.status == QrCodeImage::Status::kOk ? code.BitmapFile() : std::string();
  const QImage picture = QImage::fromData(reinterpret_cast<const uchar*>(bitmap.data()),
                                          static_cast<int>(bitmap.size()), "BMP");
  auto* shown = FindControl<MemoryPictureUI>(QStringLiteral("qrcode_img"));
  if (picture.isNull() || shown == nullptr) {
    if (written_.status == QrCodeImage::Status::kOk) written_.status = QrCodeImage::Status::kEncodeFailed;
    ShowProblem();
    return;
  }
  shown->SetPicture(picture);
  ShowPicture();
}

std::unique_ptr<DuiLib::CControlUI> QRCodeWnd::CreateControl(const QString& tag) {
  if (tag.compare(QLatin1String(MemoryPictureUI::kTag), Qt::CaseInsensitive) == 0) {
    return std::make_unique<MemoryPictureUI>();
  }
  return nullptr;
}

void QRCodeWnd::ShowPicture() {
  const int side = written_.pixels;
  const int frame = side + 2 * kFrameInset;
  if (auto* container = FindControl(QStringLiteral("qrcode_frame"))) {
    container->SetFixedWidth(frame);
    container->SetFixedHeight(frame);
  }
  if (auto* row = FindControl(QStringLiteral("qrcode_row"))) row->SetFixedHeight(frame);
  ResizeClient(std::max(kMinWidth, frame + 2 * kSideMargin), kTitleHeight + frame + kScanHeight);
}

void QRCodeWnd::ShowProblem() {
  QString text;
  switch (written_.status) {
    case QrCodeImage::Status::kTooLong:
      text = LanguageText(SignAndQrLanguageKeys::kQrTooLong);
      break;
    case QrCodeImage::Status::kWriteFailed:
      text = LanguageText(SignAndQrLanguageKeys::kQrWriteFailed) + QString::fromStdString(written_.detail);
      break;
    default:
      text = LanguageText(SignAndQrLanguageKeys::kQrEncodeFailed);
      break;
  }
  if (auto* row = FindControl(QStringLiteral("qrcode_row"))) row->SetVisible(false);
  if (auto* scan = FindControl(QStringLiteral("qrcodewnd/scan"))) scan->SetVisible(false);
  if (auto* problem = FindControl(QStringLiteral("qrcode_error"))) {
    problem->SetText(text);
    problem->SetVisible(true);
  }
  ResizeClient(kMinWidth + 2 * kSideMargin, kTitleHeight + kProblemHeight + kScanHeight / 2);
}

}  // namespace tarvo

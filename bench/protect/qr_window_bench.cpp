// The QR window from open to shown: the code encoded and written as a bitmap, the
// window built from the skin package, placed, shown and painted once with the
// picture decoded, for a 100-character and a 1,000-character address. Runs on the
// display in DISPLAY (Xvfb) when there is one, offscreen otherwise.
#include <QApplication>
#include <QDir>
#include <QWidget>
#include <benchmark/benchmark.h>

#include <string>

#include "protect/windows/qr_code_wnd.h"
#include "ui/resource_manager.h"

namespace {

using namespace tarvo;

std::string Address(size_t length) {
  std::string address = "https://www.tarvo.test/archive/";
  while (address.size() < length) address += "page-" + std::to_string(address.size()) + "/";
  address.resize(length);
  return address;
}

void BM_QrWindowOpenToShown(benchmark::State& state) {
  const WString text = Utf8ToWide(Address(static_cast<size_t>(state.range(0))));
  const WString cache = (QDir::tempPath() + QStringLiteral("/")).toStdU16String();
  int pixels = 0;
  for (auto _ : state) {
    QRCodeWnd window(text, cache);
    window.Create(0, QStringLiteral("QR_code_wnd"), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW);
    window.CenterWindow();
    window.ShowWindow(true, false);
    window.GetWidget()->repaint();
    state.PauseTiming();
    pixels = window.Written().pixels;
    window.Close();
    QCoreApplication::processEvents();
    state.ResumeTiming();
  }
  state.counters["picture_px"] = pixels;
}
BENCHMARK(BM_QrWindowOpenToShown)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond);

}  // namespace

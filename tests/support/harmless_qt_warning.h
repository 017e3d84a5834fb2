#pragma once
// Which Qt warnings the GUI test programs let pass instead of failing the test: what
// the pages themselves print on their console, the toolkit and the engines saying that
// they draw without a GPU (the test command turns it off; newer releases try OpenGL,
// Vulkan and the GPU's vendor in turn), and the display refusing focus to a pop-up that
// closed a moment before (no window manager under Xvfb orders that race).
#include <QByteArray>
#include <QtGlobal>
#include <algorithm>
#include <iterator>

namespace tarvo::test {

inline bool IsHarmlessQtWarning(const QMessageLogContext& context, const QByteArray& text) {
  static constexpr const char* kWithoutGpu[] = {"No suitable graphics backend found", "neither GLX nor EGL are enabled",
                                                "QRhiGles2: Failed to create", "Vulkan instance",
                                                "Unable to detect GPU vendor"};
  const bool pageConsole = context.category != nullptr && qstrcmp(context.category, "js") == 0;
  const bool withoutGpu = std::any_of(std::begin(kWithoutGpu), std::end(kWithoutGpu),
                                      [&](const char* complaint) { return text.contains(complaint); });
  const bool focusRace = text.contains("XCB error: 8 (BadMatch)") && text.contains("(SetInputFocus)");
  return pageConsole || withoutGpu || focusRace;
}

}  // namespace tarvo::test

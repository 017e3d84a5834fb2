// GoogleTest entry for GUI tests: one QApplication for the whole program, and Qt
// warnings turned into test failures so a broken layout or signal is not overlooked.
#include <QApplication>
#include <QtGlobal>
#include <gtest/gtest.h>

namespace {

void FailOnQtWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const QByteArray text = message.toLocal8Bit();
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  // Messages from the rendering engines' own processes are not ours to judge, and
  // neither is the display refusing focus to a pop-up that closed a moment before
  // (no window manager under Xvfb orders that race).
  const bool focusRace = text.contains("XCB error: 8 (BadMatch)") && text.contains("(SetInputFocus)");
  const bool pageConsole = context.category != nullptr && qstrcmp(context.category, "js") == 0;
  // The engine says once that it draws without a GPU, which the test command turns off.
  const bool withoutGpu = text.contains("No suitable graphics backend found");
  if (pageConsole || withoutGpu || text.contains("Release of profile requested") || focusRace) {
    fprintf(stderr, "qt: %s\n", text.constData());
    return;
  }
  ADD_FAILURE() << "Qt warning: " << text.constData();
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "xcb" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  if (qEnvironmentVariableIsEmpty("TARVO_ALLOW_QT_WARNINGS")) qInstallMessageHandler(FailOnQtWarning);
  return RUN_ALL_TESTS();
}

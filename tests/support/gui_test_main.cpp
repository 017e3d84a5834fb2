// GoogleTest entry for GUI tests: one QApplication for the whole program, and Qt
// warnings turned into test failures so a broken layout or signal is not overlooked.
#include <QApplication>
#include <QtGlobal>
#include <gtest/gtest.h>

#include "support/harmless_qt_warning.h"

namespace {

void FailOnQtWarning(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  const QByteArray text = message.toLocal8Bit();
  if (type == QtDebugMsg || type == QtInfoMsg) return;
  // A profile released while one of its pages still waits for deletion is the test's
  // teardown order, not a fault of the code under test.
  if (tarvo::test::IsHarmlessQtWarning(context, text) || text.contains("Release of profile requested")) {
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

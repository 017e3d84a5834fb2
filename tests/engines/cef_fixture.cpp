#include "engines/cef_fixture.h"

#include <QVariant>

#include "engines/webengine/engine_page.h"

namespace tarvo::test {

QString CefFixture::Evaluate(const CefRefPtr<CefBrowser>& browser, const QString& script) {
  QString result;
  bool done = false;
  if (browser->page() == nullptr) {
    return result;
  }
  browser->page()->runJavaScript(script, [&](const QVariant& value) {
    result = value.toString();
    done = true;
  });
  WaitFor([&] { return done; });
  return result;
}

}  // namespace tarvo::test

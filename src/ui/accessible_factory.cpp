#include "ui/accessible_factory.h"

#include <QAccessible>

#include "ui/accessible_window.h"
#include "ui/window_host.h"
#include "ui/window_impl_base.h"

namespace DuiLib {
namespace {

QAccessibleInterface* MakeWindowInterface(const QString& className, QObject* object) {
  if (className != QLatin1String(CWindowHost::staticMetaObject.className())) {
    return nullptr;
  }
  auto* host = static_cast<CWindowHost*>(object);
  // A native window without controls (the page area's window) is a plain widget to Qt.
  if (dynamic_cast<WindowImplBase*>(host->GetOwner()) == nullptr) {
    return nullptr;
  }
  return new CAccessibleWindow(host);
}

}  // namespace

void CAccessibleFactory::Install() {
  static const bool installed = [] {
    QAccessible::installFactory(&MakeWindowInterface);
    return true;
  }();
  (void)installed;
}

}  // namespace DuiLib

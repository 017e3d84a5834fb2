#pragma once
// Finding and clicking the toolkit windows a shell test opened: pop-ups and modal
// windows are found by their window class name through their widgets. Main thread
// only; a window found is valid until it closes.
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <functional>
#include <QWidget>
#include <gtest/gtest.h>

#include "ui/window_impl_base.h"
#include "ui/window_registry.h"
#include "ui_test_support.h"

namespace tarvo::test {

// The shown toolkit window with the class name `className`, or null.
inline DuiLib::WindowImplBase* ShownWindowOf(const QString& className) {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->isVisible() && widget->objectName() == className) {
      auto& registry = DuiLib::CWindowRegistry::Instance();
      return dynamic_cast<DuiLib::WindowImplBase*>(registry.Find(registry.FindByWidget(widget)));
    }
  }
  return nullptr;
}

// Clicks the middle of the window's control named `control`; a missing control
// fails the test.
inline void ClickControl(DuiLib::WindowImplBase& window, const QString& control) {
  DuiLib::CControlUI* found = window.FindControl(control);
  ASSERT_NE(found, nullptr) << control.toStdString();
  QTest::mouseClick(window.GetWidget(), Qt::LeftButton, {}, CentreOf(found));
}

// Runs `act` on the window of `className` once it is shown (while the caller's
// modal loop runs), looking for it every 50 ms for up to `limitMs`.
inline void WhenShown(const QString& className, std::function<void(DuiLib::WindowImplBase&)> act,
                      int limitMs = 10000) {
  QTimer::singleShot(50, [className, act, limitMs] {
    DuiLib::WindowImplBase* window = ShownWindowOf(className);
    if (window == nullptr && limitMs > 50) {
      WhenShown(className, act, limitMs - 50);
      return;
    }
    ASSERT_NE(window, nullptr) << className.toStdString();
    (void)QTest::qWaitForWindowExposed(window->GetWidget());
    act(*window);
  });
}

// The shown window of `className` once it is exposed, or null after `limitMs`.
inline DuiLib::WindowImplBase* WaitForShown(const QString& className, int limitMs = 3000) {
  DuiLib::WindowImplBase* window = nullptr;
  if (!QTest::qWaitFor([&] { return (window = ShownWindowOf(className)) != nullptr; }, limitMs)) return nullptr;
  (void)QTest::qWaitForWindowExposed(window->GetWidget());
  return window;
}

}  // namespace tarvo::test

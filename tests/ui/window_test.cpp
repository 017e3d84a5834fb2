// Windows: modal result codes, default keys, timers, the message queue, message
// filters and the final clean-up.
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <thread>

#include "ui/button_ui.h"
#include "ui/window_registry.h"
#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

const char* kDialogSkin = R"(<Window size="240,120" caption="0,0,0,30">
  <VerticalLayout name="root" bkcolor="#FFFFFFFF">
    <Label name="title" height="30" text="Dialog"/>
    <HorizontalLayout>
      <Button name="ok_btn" text="OK" width="80"/>
      <Edit name="edit"/>
    </HorizontalLayout>
  </VerticalLayout>
</Window>)";

class WindowTest : public ::testing::Test {
 protected:
  PackagedSkin skin_{{{"dlg.xml", kDialogSkin}}};
};

TEST_F(WindowTest, ModalLoopReturnsTheCloseCode) {
  for (int code : {0, 1, 7, -1}) {
    TestWindow window("dlg.xml");
    ASSERT_NE(window.Create(0, "modal", WS_POPUP, 0), 0u);
    window.onNotify = [&](TNotifyUI& msg) {
      if (msg.sType == kNotifyClick) window.Close(code);
    };
    QTimer::singleShot(0, [&] {
      (void)QTest::qWaitForWindowExposed(window.GetWidget());
      QTest::mouseClick(window.GetWidget(), Qt::LeftButton, {}, CentreOf(window.FindControl("ok_btn")));
    });
    EXPECT_EQ(window.ShowModal(), code);
    // The native window is gone, the object stays with its owner.
    EXPECT_EQ(window.GetHWND(), 0u);
    EXPECT_EQ(window.finalMessages, 1);
    EXPECT_EQ(window.GetPaintManager().GetRoot(), nullptr);
  }
}

TEST_F(WindowTest, EscapeClosesWithOneUnlessSwitchedOff) {
  TestWindow window("dlg.xml");
  ASSERT_NE(window.Create(0, "esc", WS_POPUP, 0), 0u);
  QTimer::singleShot(0, [&] {
    (void)QTest::qWaitForWindowExposed(window.GetWidget());
    QTest::keyClick(window.GetWidget(), Qt::Key_Escape);
  });
  EXPECT_EQ(window.ShowModal(), 1);

  // Escape typed into an edit reaches the window too.
  TestWindow editing("dlg.xml");
  ASSERT_NE(editing.Create(0, "esc-edit", WS_POPUP, 0), 0u);
  QTimer::singleShot(0, [&] {
    (void)QTest::qWaitForWindowExposed(editing.GetWidget());
    editing.FindControl("edit")->SetFocus();
    QWidget* field = WaitForFocusWidget(editing);
    if (field == nullptr) {
      ADD_FAILURE() << "the edit never got the keyboard focus";
      editing.Close(1);
      return;
    }
    QTest::keyClick(field, Qt::Key_Escape);
  });
  EXPECT_EQ(editing.ShowModal(), 1);

  TestWindow main("dlg.xml");
  main.defaultKeys = false;
  ASSERT_NE(main.Create(0, "main", WS_POPUP, 0), 0u);
  ASSERT_TRUE(ShowAndWait(main));
  QTest::keyClick(main.GetWidget(), Qt::Key_Escape);
  QTest::keyClick(main.GetWidget(), Qt::Key_Return);
  QTest::qWait(30);
  EXPECT_NE(main.GetHWND(), 0u);
  EXPECT_TRUE(main.GetWidget()->isVisible());
}

TEST_F(WindowTest, TimersDeliverTheirIdsUntilKilled) {
  TestWindow window("dlg.xml");
  ASSERT_NE(window.Create(0, "timers", WS_POPUP, 0), 0u);
  std::vector<WPARAM> ids;
  struct Recorder : IMessageFilterUI {
    std::vector<WPARAM>* ids;
    LRESULT MessageHandler(UINT msg, WPARAM wParam, LPARAM, bool&) override {
      if (msg == WM_TIMER) ids->push_back(wParam);
      return 0;
    }
  } recorder;
  recorder.ids = &ids;
  window.GetPaintManager().AddPreMessageFilter(&recorder);
  EXPECT_TRUE(window.SetTimer(1, 20));
  EXPECT_TRUE(window.SetTimer(5, 30));
  QTest::qWait(200);
  EXPECT_GE(std::count(ids.begin(), ids.end(), 1u), 3);
  EXPECT_GE(std::count(ids.begin(), ids.end(), 5u), 2);
  EXPECT_TRUE(window.KillTimer(1));
  EXPECT_FALSE(window.KillTimer(1));
  ids.clear();
  QTest::qWait(100);
  EXPECT_EQ(std::count(ids.begin(), ids.end(), 1u), 0);
  window.GetPaintManager().RemovePreMessageFilter(&recorder);
}

TEST_F(WindowTest, FiltersSeeMessagesFirstAndMayStopThem) {
  TestWindow window("dlg.xml");
  ASSERT_NE(window.Create(0, "filters", WS_POPUP, 0), 0u);
  struct Filter : IMessageFilterUI {
    std::vector<std::tuple<UINT, WPARAM, LPARAM>> seen;
    LRESULT MessageHandler(UINT msg, WPARAM w, LPARAM l, bool& handled) override {
      if (msg >= WM_USER || msg == WM_COMMAND || msg == WM_CLOSE) seen.emplace_back(msg, w, l);
      if (msg == WM_CLOSE && w == 99) {
        handled = true;  // the main window ends the process here instead
        return 5;
      }
      if (msg == WM_USER + 3) {
        handled = true;
        return 42;
      }
      return 0;
    }
  } filter;
  window.GetPaintManager().AddPreMessageFilter(&filter);
  EXPECT_EQ(window.SendMessage(WM_USER + 3, 1, 2), 42);
  EXPECT_TRUE(window.PostMessage(WM_USER + 2, 0, 4));
  EXPECT_TRUE(PostMessage(window.GetHWND(), WM_COMMAND, MakeWParam(40002, 1), 0));
  // Posting from another thread goes through the same queue.
  std::thread([hwnd = window.GetHWND()] { PostMessage(hwnd, WM_USER + 28, 1234, 0); }).join();
  window.Close(99);
  QTest::qWait(30);
  ASSERT_EQ(filter.seen.size(), 5u);
  EXPECT_EQ(filter.seen[1], std::make_tuple(WM_USER + 2, WPARAM{0}, LPARAM{4}));
  EXPECT_EQ(LoWord(std::get<1>(filter.seen[2])), 40002u);
  EXPECT_EQ(HiWord(std::get<1>(filter.seen[2])), 1u);
  EXPECT_EQ(std::get<1>(filter.seen[3]), 1234u);
  // The handled WM_CLOSE did not close the window.
  EXPECT_NE(window.GetHWND(), 0u);
  window.GetPaintManager().RemovePreMessageFilter(&filter);
  // A handle that names no window reaches nobody.
  const HWND stale = window.GetHWND();
  window.Close(0);
  QTest::qWait(30);
  EXPECT_EQ(window.GetHWND(), 0u);
  EXPECT_FALSE(PostMessage(stale, WM_USER + 1));
  EXPECT_FALSE(window.PostMessage(WM_USER + 1));
}

TEST_F(WindowTest, ChildWindowsEndWithTheirParentAndDestroyingTheObjectClosesTheWindow) {
  TestWindow parent("dlg.xml");
  ASSERT_NE(parent.Create(0, "parent", WS_POPUP, 0), 0u);
  auto child = std::make_unique<TestWindow>("dlg.xml");
  ASSERT_NE(child->Create(parent.GetHWND(), "child", WS_POPUP, WS_EX_TOOLWINDOW), 0u);
  parent.Close(0);
  QTest::qWait(30);
  EXPECT_EQ(child->GetHWND(), 0u);
  EXPECT_EQ(child->finalMessages, 1);
  auto lone = std::make_unique<TestWindow>("dlg.xml");
  ASSERT_NE(lone->Create(0, "lone", WS_POPUP, 0), 0u);
  const HWND handle = lone->GetHWND();
  lone.reset();
  EXPECT_EQ(CWindowRegistry::Instance().Find(handle), nullptr);
}

}  // namespace
}  // namespace tarvo::test

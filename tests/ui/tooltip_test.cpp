// Texts from pages, files and the service reach the toolkit's tooltips (tab titles,
// bookmark names, download addresses); however much they look like HTML, the tooltip
// shows them letter for letter.
#include <QApplication>
#include <QHelpEvent>
#include <QLabel>
#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

#include "ui_test_support.h"

namespace tarvo::test {
namespace {

using namespace DuiLib;

// The text a user reads in the tooltip shown now.
QString ShownToolTip() {
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    auto* label = qobject_cast<QLabel*>(widget);
    if (label == nullptr || widget->objectName() != QLatin1String("qtooltip_label") || !label->isVisible()) continue;
    const bool markup = label->textFormat() == Qt::RichText ||
                        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(label->text()));
    if (!markup) return label->text();
    QTextDocument document;
    document.setHtml(label->text());
    return document.toPlainText();
  }
  return QStringLiteral("(no tooltip)");
}

TEST(ToolTipTest, TextsThatLookLikeMarkupAreShownLetterForLetter) {
  PackagedSkin skin({{"tip.xml", R"(<Window size="200,80"><VerticalLayout><Button name="b"/></VerticalLayout></Window>)"}});
  TestWindow window("tip.xml");
  ASSERT_NE(window.Create(0, "tip", WS_POPUP, 0), 0u);
  ASSERT_TRUE(ShowAndWait(window));
  CControlUI* button = window.FindControl("b");
  const QString texts[] = {
      QStringLiteral("<img src=\"http://127.0.0.1:9/x.png\">"),
      QStringLiteral("<table width=9999><tr><td>wide</td></tr></table>"),
      QStringLiteral("<b>Bank</b> login"),
      QStringLiteral("<a href=\"javascript:alert(1)\">click</a>   spaced"),
      QStringLiteral("Tom & Jerry <3"),
      QStringLiteral("An ordinary title"),
  };
  for (const QString& text : texts) {
    SCOPED_TRACE(text.toStdString());
    button->SetToolTip(text);
    const QPoint at = CentreOf(button);
    QHelpEvent event(QEvent::ToolTip, at, window.GetWidget()->mapToGlobal(at));
    QApplication::sendEvent(window.GetWidget(), &event);
    EXPECT_EQ(ShownToolTip(), text);
  }
}

}  // namespace
}  // namespace tarvo::test

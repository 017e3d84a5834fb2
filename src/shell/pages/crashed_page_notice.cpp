#include "shell/pages/crashed_page_notice.h"

#include <QLabel>
#include <QPushButton>
#include <QTextLayout>
#include <QtMath>
#include <QVBoxLayout>

#include "settings/language_manager.h"
#include "shell/pages/pages_language_keys.h"
#include "shell/pages/qt_text.h"
#include "ui/resource_manager.h"

namespace tarvo {

namespace {

constexpr int kTextWidth = 440;
constexpr char kPicture[] = "Dialog\\page_crashed.png";
// The browser's own look for pages it draws itself: white, grey text, the blue
// of its buttons.
constexpr char kStyle[] =
    "tarvo--CrashedPageNotice { background: #FFFFFF; }"
    "QLabel#crashedHeading { color: #1F2329; font-size: 20px; font-weight: bold; }"
    "QLabel#crashedText { color: #646A73; font-size: 13px; }"
    "QPushButton#crashedPageReload { color: #FFFFFF; background: #3F70D8; border: none; border-radius: 4px;"
    " padding: 7px 22px; font-size: 13px; }"
    "QPushButton#crashedPageReload:hover { background: #2F5FC4; }"
    "QPushButton#crashedPageReload:pressed { background: #234DA8; }";

QString Text(const char16_t* key) { return Q(LanguageManager::Instance().GetText(key)); }

// The height `text` takes wrapped to `width` in `font`. Laid out line by line, so
// the taller lines of fallback fonts (Chinese glyphs) count; the font's own metrics
// would leave the last line out.
int WrappedHeight(const QString& text, const QFont& font, int width) {
  QTextLayout layout(text, font);
  qreal height = 0;
  layout.beginLayout();
  for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
    line.setLineWidth(width);
    height += line.height();
  }
  layout.endLayout();
  return qCeil(height);
}

}  // namespace

CrashedPageNotice::CrashedPageNotice(std::function<void()> reload) {
  setObjectName(QLatin1String(kObjectName));
  setAttribute(Qt::WA_StyledBackground);
  setStyleSheet(QLatin1String(kStyle));

  auto* picture = new QLabel(this);
  picture->setPixmap(DuiLib::CResourceManager::Instance().GetImage(QLatin1String(kPicture), devicePixelRatioF()));
  picture->setAlignment(Qt::AlignCenter);
  auto* heading = new QLabel(Text(PagesLanguageKeys::kCrashedTitle), this);
  heading->setObjectName(QStringLiteral("crashedHeading"));
  heading->setAlignment(Qt::AlignCenter);
  auto* text = new QLabel(Text(PagesLanguageKeys::kCrashedText), this);
  text->setObjectName(QStringLiteral("crashedText"));
  text->setAlignment(Qt::AlignCenter);
  text->setWordWrap(true);
  text->setFixedWidth(kTextWidth);
  // Wrapped text gets the lines it needs in its own font (the style sheet's).
  text->ensurePolished();
  text->setFixedHeight(WrappedHeight(text->text(), text->font(), kTextWidth));
  reload_ = new QPushButton(Text(PagesLanguageKeys::kCrashedReload), this);
  reload_->setObjectName(QLatin1String(kReloadName));
  reload_->setCursor(Qt::PointingHandCursor);
  connect(reload_, &QPushButton::clicked, this, [reload = std::move(reload)] {
    if (reload) reload();
  });

  auto* column = new QVBoxLayout(this);
  column->addStretch(2);
  column->addWidget(picture, 0, Qt::AlignHCenter);
  column->addSpacing(18);
  column->addWidget(heading, 0, Qt::AlignHCenter);
  column->addSpacing(10);
  column->addWidget(text, 0, Qt::AlignHCenter);
  column->addSpacing(22);
  column->addWidget(reload_, 0, Qt::AlignHCenter);
  column->addStretch(3);
}

}  // namespace tarvo

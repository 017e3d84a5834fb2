#include "ui/gif_anim_ui.h"

#include <QMovie>
#include <QPainter>

#include "ui/image_attribute.h"
#include "ui/resource_manager.h"

namespace DuiLib {

CGifAnimUI::CGifAnimUI() = default;

CGifAnimUI::~CGifAnimUI() {
  if (movie_) {
    movie_->stop();
    movie_->disconnect();
  }
}

void* CGifAnimUI::GetInterface(const QString& name) {
  if (name.compare(QLatin1String("GifAnim"), Qt::CaseInsensitive) == 0) return this;
  return CControlUI::GetInterface(name);
}

bool CGifAnimUI::LoadAnimation(const QString& file) {
  movie_.reset();
  buffer_.reset();
  const CImageAttribute image = CImageAttribute::Parse(file);
  std::optional<QByteArray> data = CResourceManager::Instance().ReadFile(image.file);
  if (!data) {
    return false;
  }
  data_ = std::move(*data);
  buffer_ = std::make_unique<QBuffer>(&data_);
  buffer_->open(QIODevice::ReadOnly);
  movie_ = std::make_unique<QMovie>(buffer_.get());
  if (!movie_->isValid()) {
    movie_.reset();
    buffer_.reset();
    return false;
  }
  QObject::connect(movie_.get(), &QMovie::frameChanged, movie_.get(), [this](int) { Invalidate(); });
  if (autoPlay_ && IsVisible()) {
    movie_->start();
  } else {
    movie_->jumpToFrame(0);
  }
  return true;
}

void CGifAnimUI::PlayGif() {
  if (!movie_) return;
  if (movie_->state() == QMovie::NotRunning) {
    movie_->start();
  } else {
    movie_->setPaused(false);
  }
}

void CGifAnimUI::PauseGif() {
  if (movie_) movie_->setPaused(true);
}

void CGifAnimUI::StopGif() {
  if (movie_) {
    movie_->stop();
    movie_->jumpToFrame(0);
  }
}

bool CGifAnimUI::IsPlaying() const { return movie_ && movie_->state() == QMovie::Running; }

int CGifAnimUI::GetFrameCount() const { return movie_ ? movie_->frameCount() : 0; }

void CGifAnimUI::SetAttribute(const QString& name, const QString& value) {
  const QString n = name.toLower();
  if (n == QLatin1String("bkimage")) {
    bkImage_ = value;
    LoadAnimation(value);
  } else if (n == QLatin1String("autoplay")) {
    autoPlay_ = CAttributeParser::ParseBool(value).value_or(autoPlay_);
  } else {
    CControlUI::SetAttribute(name, value);
  }
}

void CGifAnimUI::PaintBkImage(QPainter& painter) {
  if (!movie_) {
    return;
  }
  const QPixmap frame = movie_->currentPixmap();
  if (!frame.isNull()) {
    painter.drawPixmap(rcItem_, frame);
  }
}

void CGifAnimUI::SetVisible(bool visible) {
  CControlUI::SetVisible(visible);
  if (!movie_) return;
  if (!IsVisible()) {
    movie_->setPaused(true);
  } else if (autoPlay_) {
    PlayGif();
  }
}

}  // namespace DuiLib

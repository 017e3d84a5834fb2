#pragma once
// Plays an animated picture ("bkimage" names a GIF in the package) inside the control.
#include <QBuffer>
#include <QByteArray>
#include <memory>

#include "ui/control_ui.h"

class QMovie;

namespace DuiLib {

class CGifAnimUI : public CControlUI {
 public:
  CGifAnimUI();
  ~CGifAnimUI() override;
  QString GetClass() const override { return QStringLiteral("GifAnimUI"); }
  void* GetInterface(const QString& name) override;

  // Loads the animation; false when it can't be read or decoded.
  bool LoadAnimation(const QString& file);
  void PlayGif();
  void PauseGif();
  void StopGif();
  bool IsPlaying() const;
  int GetFrameCount() const;

  void SetAttribute(const QString& name, const QString& value) override;
  void PaintBkImage(QPainter& painter) override;
  void SetVisible(bool visible = true) override;

 private:
  QByteArray data_;
  std::unique_ptr<QBuffer> buffer_;
  std::unique_ptr<QMovie> movie_;
  bool autoPlay_ = true;
};

}  // namespace DuiLib

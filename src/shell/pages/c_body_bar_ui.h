#pragma once

#include <memory>

#include "shell/pages/c_body_bar.h"
#include "ui/native_host_ui.h"

namespace tarvo {

// The skin control for the tag "BodyBar": makes the body bar window when it joins a
// window and keeps it on the control's rectangle.
// Threads: the main window's thread only. Owned by the window's control tree; owns
// its body bar.
class CBodyBarUI : public DuiLib::CNativeHostUI {
 public:
  static constexpr const char* kTag = "BodyBar";

  CBodyBarUI();
  ~CBodyBarUI() override;
  QString GetClass() const override { return QStringLiteral("BodyBarUI"); }
  void* GetInterface(const QString& name) override;

  // The body bar, or nullptr before the control has joined a window.
  CBodyBar* GetBodyBar() const { return bodyBar_->GetHWND() != 0 ? bodyBar_.get() : nullptr; }

 protected:
  void DoInit() override;

 private:
  std::unique_ptr<CBodyBar> bodyBar_ = std::make_unique<CBodyBar>();
};

}  // namespace tarvo

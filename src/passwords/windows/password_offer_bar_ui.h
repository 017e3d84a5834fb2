#pragma once
// The saved passwords' bar of one main window, above the page: an offer to save (or
// update) the password just sent, with "save", "never for this site" and "not now",
// or a notice with a close button. Hidden while it has nothing to say. It shows what
// it is told for the window's selected page; the answers go to its listener.
//
// Threads: the GUI thread. Lifetime: owned by the window's control tree; it keeps
// itself listed in `bars` (non-owning, outlives it) while it exists and listens to its
// window's notifications while it is part of the window.
#include <QString>
#include <functional>
#include <vector>

#include "ui/box_layout_ui.h"
#include "ui/ui_interfaces.h"

namespace DuiLib {
class CButtonUI;
class CLabelUI;
}  // namespace DuiLib

namespace tarvo {

class Pages;

class PasswordOfferBarUI : public DuiLib::CHorizontalLayoutUI, public DuiLib::INotifyUI {
 public:
  enum class Answer { kSave, kNever, kNotNow, kClose };
  using Listener = std::function<void(PasswordOfferBarUI& bar, Answer answer)>;
  static constexpr char kName[] = "password_bar";
  static constexpr char kSaveName[] = "password_bar/save";
  static constexpr char kNeverName[] = "password_bar/never";
  static constexpr char kNotNowName[] = "password_bar/not_now";
  static constexpr char kCloseName[] = "password_bar/close";

  // `pages`: the window's page list (non-owning; it outlives the bar's use of it).
  PasswordOfferBarUI(Pages& pages, std::vector<PasswordOfferBarUI*>& bars, Listener listener);
  ~PasswordOfferBarUI() override;

  QString GetClass() const override { return QStringLiteral("PasswordOfferBarUI"); }
  void SetManager(DuiLib::CPaintManagerUI* manager, DuiLib::CControlUI* parent, bool init = true) override;

  // An offer: `text`, the save button worded as an update when `update`.
  void ShowOffer(const QString& text, bool update);
  // A notice: `text` and the close button.
  void ShowNotice(const QString& text);
  void HideBar();
  bool ShowsOffer() const { return IsVisible() && offer_; }
  Pages& PageList() const { return pages_; }

  void Notify(DuiLib::TNotifyUI& msg) override;

 private:
  void Show(const QString& text, bool offer, bool update);
  // The answer buttons' texts, "save" worded as an update when `update`.
  void NameButtons(bool update);

  Pages& pages_;
  std::vector<PasswordOfferBarUI*>& bars_;
  Listener listener_;
  bool offer_ = false;
  // Children, owned by this container.
  DuiLib::CLabelUI* text_ = nullptr;
  DuiLib::CButtonUI* save_ = nullptr;
  DuiLib::CButtonUI* never_ = nullptr;
  DuiLib::CButtonUI* notNow_ = nullptr;
};

}  // namespace tarvo

#pragma once
// The passwords page of the settings window: the switch that offers to save
// passwords, and the list of what the keyring holds, a row per saved user name of a
// site (its password shown only when asked for) and per site marked "never", each
// with its delete button, and "delete all". The list is read from the keyring when the
// page is first shown and after each change.
//
// Threads: the GUI thread. Lifetime: owned by its window, whose controls it uses
// (non-owning) until Detach; keyring answers arriving after it went are dropped.
#include <QString>
#include <memory>
#include <vector>

#include "passwords/password_keeper.h"
#include "preferences/browser_preferences.h"

namespace DuiLib {
class CButtonUI;
class CCheckBoxUI;
class CControlUI;
class CLabelUI;
class CVerticalLayoutUI;
class WindowImplBase;
}  // namespace DuiLib

namespace tarvo {

class SavedPasswordsSection {
 public:
  static constexpr char kShowName[] = "settings/password_show";
  static constexpr char kDeleteName[] = "settings/password_delete";
  static constexpr char kDeleteAllName[] = "settings/passwords_delete_all";
  static constexpr char kOfferName[] = "settings/offer_passwords";

  SavedPasswordsSection(PasswordKeeper& keeper, BrowserPreferences preferences);

  // Looks the page's controls up in `window` (built from "settings.xml").
  void Build(DuiLib::WindowImplBase& window);
  // Fills the page's texts in the current language.
  void FillTexts();
  // Shows the stored switch and reads the list again.
  void Refresh();
  // A click or a change of a check box in the window; true when it was the page's.
  bool OnClick(DuiLib::CControlUI& sender);
  bool OnSelectChanged(DuiLib::CControlUI& sender);
  // The window's controls go.
  void Detach();

 private:
  struct Row {
    SavedLogin login;
    bool never = false;
    DuiLib::CLabelUI* password = nullptr;  // owned by the list
    DuiLib::CButtonUI* show = nullptr;     // owned by the list
    bool shown = false;
  };

  void ShowListing(const PasswordKeeper::Listing& listing);
  void AddRow(Row row);
  void ShowPassword(size_t index, bool shown, const WString& password);
  void Delete(size_t index);
  void SetState(const QString& text);

  PasswordKeeper& keeper_;
  BrowserPreferences preferences_;
  std::vector<Row> rows_;
  std::shared_ptr<int> alive_ = std::make_shared<int>(0);  // answers check it is still there
  // Controls of the window (not owned).
  DuiLib::CCheckBoxUI* offer_ = nullptr;
  DuiLib::CVerticalLayoutUI* list_ = nullptr;
  DuiLib::CLabelUI* state_ = nullptr;
  DuiLib::CControlUI* title_ = nullptr;
  DuiLib::CButtonUI* deleteAll_ = nullptr;
};

}  // namespace tarvo

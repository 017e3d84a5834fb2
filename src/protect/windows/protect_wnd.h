#pragma once

#include <QObject>
#include <QString>
#include <vector>

#include "account/windows/centred_dialog.h"
#include "platform/text.h"

namespace tarvo {

class AccountState;
class AccountTaskQueue;
class UserDatabase;

// The protection panel ("KXProtectWnd", "protect.xml"): the switch of the
// protected-site mapping, and for the internal user group the choice of a VPN node
// by country and area (CVNodeListWnd drop-downs) with a connect button. For everyone
// else the node choice and the connect button are hidden and the window is
// kRegionHeight pixels shorter.
//
// While the VPN is on, the panel also names the tabs it does not carry (the
// compatibility tabs, which never use it) under a warning, and grows to hold them.
//
// Connecting runs on the account task queue while the panel says so and stays
// responsive; the result shows in "tip_lbl", red for a failure, green for success,
// after which the proxy is applied and the panel closes. The node list and the
// nodes' ping figures are refreshed in the background while the panel is open.
//
// GUI thread. Modal; the object lives on the caller's stack.
class ProtectWnd : public CentredDialog {
 public:
  static constexpr int kRegionHeight = 170;
  // How long the green success stays before the panel closes.
  static constexpr int kSuccessCloseMs = 600;
  static constexpr const char16_t* kInternalGroup = u"内部用户";
  // The tabs named by title; more are counted on a last line.
  static constexpr size_t kUnprotectedShown = 4;

  // `unprotectedTabs`: the titles of the tabs the VPN does not carry, empty while it
  // is off.
  // `account`: the state the panel shows and changes; it and `database` outlive the
  // tasks the panel starts on `tasks`.
  ProtectWnd(AccountState& account, AccountTaskQueue& tasks, UserDatabase& database,
             std::vector<QString> unprotectedTabs = {})
      : account_(account), tasks_(tasks), database_(database), unprotectedTabs_(std::move(unprotectedTabs)) {}

  void Notify(DuiLib::TNotifyUI& msg) override;
  const QString& SelectedCountry() const { return countryId_; }
  const QString& SelectedNode() const { return nodeId_; }

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXProtectWnd"); }
  QString GetSkinFile() override { return QStringLiteral("protect.xml"); }
  DuiLib::LRESULT HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM lParam,
                                      bool& bHandled) override;

 private:
  void Fill();
  void ShowSwitchState();
  void ShowRegion(bool shown);
  void ShowUnprotectedTabs();
  void RefreshNodes();
  void OnClick(const QString& name);
  void OpenCountries();
  void OpenAreas();
  void ChooseCountry(const QString& countryId);
  void ChooseArea(const QString& nodeId);
  void Connect();
  void OnConnected(int result);
  void ShowTip(const QString& text, quint32 argb);
  void SetButtonText(const QString& button, const QString& text);
  QPoint BelowControl(const QString& name);

  AccountState& account_;
  AccountTaskQueue& tasks_;
  UserDatabase& database_;
  QObject alive_;  // answers for a closed window are dropped with it
  std::vector<QString> unprotectedTabs_;
  QString countryId_;
  QString nodeId_;
  bool regionShown_ = true;
  bool connecting_ = false;
};

}  // namespace tarvo

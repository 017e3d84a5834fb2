#include "protect/windows/protect_wnd.h"

#include <QWidget>
#include <algorithm>

#include "account/account_state.h"
#include "account/node_countries.h"
#include "account/node_latency_probe.h"
#include "account/vpn_operations.h"
#include "account/windows/account_language_keys.h"
#include "account/windows/background_task.h"
#include "account/windows/cv_node_list_wnd.h"
#include "account/windows/node_list_rows.h"
#include "account/windows/skin_pictures.h"
#include "protect/protect_channels.h"
#include "protect/domain_list.h"
#include "shell/pages/qt_text.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/label_ui.h"
#include "ui/option_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

namespace Keys = AccountLanguageKeys;

constexpr quint32 kRed = 0xFFFF0000;
constexpr quint32 kGreen = 0xFF00FF00;
constexpr quint32 kNeutral = 0xFF646A73;
constexpr DuiLib::UINT kCloseTimer = 1;

}  // namespace

void ProtectWnd::Notify(DuiLib::TNotifyUI& msg) {
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
  } else if (msg.sType == DuiLib::kNotifyClick && msg.pSender != nullptr) {
    OnClick(msg.pSender->GetName());
  }
  WindowImplBase::Notify(msg);
}

DuiLib::LRESULT ProtectWnd::HandleCustomMessage(DuiLib::UINT uMsg, DuiLib::WPARAM wParam, DuiLib::LPARAM, bool& bHandled) {
  if (uMsg == DuiLib::WM_TIMER && wParam == kCloseTimer) {
    KillTimer(kCloseTimer);
    Close(DuiLib::IDOK);
    bHandled = true;
  }
  return 0;
}

void ProtectWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  SkinPictures::FillTexts(*this, Keys::kProtectTexts);
  SetLanguageText(FindControl(QStringLiteral("ensure_btn")), Keys::kConnectButton);
  SetButtonText(QStringLiteral("country_cb_btn"), LanguageText(Keys::kCountrySelect));
  SetButtonText(QStringLiteral("area_cb_btn"), LanguageText(Keys::kDistrictSelect));
  ShowSwitchState();
  const AccountState::User user = account_.CurrentUser();
  ShowRegion(!user.id.empty() && user.group == kInternalGroup);
  // Without the node choice the panel says where the VPN is switched instead.
  ShowTip(LanguageText(regionShown_ ? Keys::kDistrictDescript : Keys::kVpnHint), kNeutral);
  ShowUnprotectedTabs();
  if (regionShown_) RefreshNodes();
}

void ProtectWnd::ShowUnprotectedTabs() {
  auto* region = FindControl(QStringLiteral("unprotected_region"));
  auto* list = FindControl(QStringLiteral("unprotected_list"));
  if (unprotectedTabs_.empty() || region == nullptr || list == nullptr) return;
  SetLanguageText(FindControl(QStringLiteral("protect/unprotected_title")), Keys::kUnprotectedTitle);
  QString text = LanguageText(Keys::kUnprotectedTabs);
  const size_t shown = std::min(unprotectedTabs_.size(), kUnprotectedShown);
  for (size_t i = 0; i < shown; ++i) {
    const QString& title = unprotectedTabs_[i];
    text += QStringLiteral("\n\u2022 ") + (title.size() > 44 ? title.left(43) + QChar(0x2026) : title);
  }
  int lines = 1 + static_cast<int>(shown);
  if (unprotectedTabs_.size() > shown) {
    text += QStringLiteral("\n") + LanguageText(Keys::kUnprotectedMore).arg(static_cast<int>(unprotectedTabs_.size() - shown));
    ++lines;
  }
  list->SetText(text);
  // The separator and the heading, then one line of the list each.
  constexpr int kHeading = 10 + 11 + 22;
  constexpr int kLine = 18;
  const int height = kHeading + lines * kLine;
  region->SetFixedHeight(height);
  region->SetVisible(true);
  const QRect placed = GetWindowRect();
  ResizeClient(placed.width(), placed.height() + height);
}

void ProtectWnd::ShowSwitchState() {
  const bool enabled = DomainList::Instance().IsDomainListEnabled();
  if (auto* toggle = FindControl<DuiLib::COptionUI>(QStringLiteral("protect_btn"))) toggle->Selected(enabled, false);
  SetLanguageText(FindControl(QStringLiteral("protect_lbl")), enabled ? Keys::kSwitchOn : Keys::kSwitchOff);
}

void ProtectWnd::ShowRegion(bool shown) {
  if (shown == regionShown_) return;
  regionShown_ = shown;
  for (const char* name : {"protect_region", "ensure_btn"}) {
    if (auto* control = FindControl(QString::fromLatin1(name))) control->SetVisible(shown);
  }
  // Shorter (or taller again) with its top-left corner where it was.
  const QRect placed = GetWindowRect();
  ResizeClient(placed.width(), placed.height() + (shown ? kRegionHeight : -kRegionHeight));
}

void ProtectWnd::RefreshNodes() {
  // The list the VPN switch fetched may be stale or missing (the panel also opens
  // from the button's right click); the ping figures are measured here.
  BackgroundTask::Run<bool>(
      tasks_, &alive_,
      [&account = account_, &database = database_] {
        VpnOperations operations(account, database);
        if (operations.FetchNodeList() != 0 && account.UserNodes().empty()) return false;
        NodeLatencyProbe::MeasureAll(account.UserNodes(), account);
        return true;
      },
      [this](bool listed) {
        if (!listed && !connecting_) ShowTip(LanguageText(Keys::kFailed), kRed);
      });
}

void ProtectWnd::OnClick(const QString& name) {
  if (name == QLatin1String("cancel_btn") || name == QLatin1String("protect/closebtn")) {
    Close(DuiLib::IDCANCEL);
  } else if (name == QLatin1String("protect_btn")) {
    DomainList& domains = DomainList::Instance();
    domains.SetDomainListEnabled(!domains.IsDomainListEnabled());
    ShowSwitchState();
  } else if (name == QLatin1String("country_cb_btn")) {
    OpenCountries();
  } else if (name == QLatin1String("area_cb_btn")) {
    OpenAreas();
  } else if (name == QLatin1String("ensure_btn")) {
    Connect();
  }
}

QPoint ProtectWnd::BelowControl(const QString& name) {
  auto* control = FindControl(name);
  if (control == nullptr || GetWidget() == nullptr) return {};
  return GetWidget()->mapToGlobal(control->GetPos().bottomLeft() + QPoint(0, 2));
}

void ProtectWnd::OpenCountries() {
  std::vector<std::unique_ptr<DuiLib::CControlUI>> rows;
  for (const NodeCountries::Country& country : NodeCountries::Group(account_.UserNodes())) {
    rows.push_back(NodeListRows::CountryRow(country));
  }
  if (rows.empty()) return;
  auto* list = new CVNodeListWnd(std::move(rows), [this](const QString& id) { ChooseCountry(id); });
  list->Popup(GetHWND(), BelowControl(QStringLiteral("country_cb_btn")));
}

void ProtectWnd::OpenAreas() {
  if (countryId_.isEmpty()) {
    OpenCountries();
    return;
  }
  std::vector<std::unique_ptr<DuiLib::CControlUI>> rows;
  for (const VpnNode& node : NodeCountries::NodesOf(account_.UserNodes(), countryId_.toStdU16String())) {
    rows.push_back(NodeListRows::AreaRow(node, account_.NodeLatency(node.id)));
  }
  if (rows.empty()) return;
  auto* list = new CVNodeListWnd(std::move(rows), [this](const QString& id) { ChooseArea(id); });
  list->Popup(GetHWND(), BelowControl(QStringLiteral("area_cb_btn")));
}

void ProtectWnd::ChooseCountry(const QString& countryId) {
  for (const NodeCountries::Country& country : NodeCountries::Group(account_.UserNodes())) {
    if (Q(country.id) != countryId) continue;
    countryId_ = countryId;
    nodeId_.clear();
    SetButtonText(QStringLiteral("country_cb_btn"), Q(country.name));
    SetButtonText(QStringLiteral("area_cb_btn"), LanguageText(Keys::kDistrictSelect));
    OpenAreas();
    return;
  }
}

void ProtectWnd::ChooseArea(const QString& nodeId) {
  const std::vector<VpnNode> nodes = account_.UserNodes();
  const VpnNode* node = NodeCountries::Find(nodes, nodeId.toStdU16String());
  if (node == nullptr) return;
  nodeId_ = nodeId;
  SetButtonText(QStringLiteral("area_cb_btn"), Q(node->area));
}

void ProtectWnd::Connect() {
  const std::vector<VpnNode> nodes = account_.UserNodes();
  const VpnNode* chosen = NodeCountries::Find(nodes, nodeId_.toStdU16String());
  if (chosen == nullptr || connecting_) return;
  connecting_ = true;
  if (auto* button = FindControl(QStringLiteral("ensure_btn"))) button->SetEnabled(false);
  ShowTip(Q(chosen->country) + QStringLiteral(" - ") + Q(chosen->area) + QStringLiteral("  ") +
              LanguageText(Keys::kConnecting),
          kNeutral);
  BackgroundTask::Run<int>(
      tasks_, &alive_, [&account = account_, &database = database_, node = *chosen] {
        return VpnOperations(account, database).ConnectNode(node);
      },
      [this](int result) { OnConnected(result); });
}

void ProtectWnd::OnConnected(int result) {
  connecting_ = false;
  if (auto* button = FindControl(QStringLiteral("ensure_btn"))) button->SetEnabled(true);
  if (result != 0) {
    ShowTip(LanguageText(result == VpnOperations::kNoTimeLeft ? Keys::kNoTime : Keys::kFailed), kRed);
    return;
  }
  // On this thread the engine takes the proxy before the answer: a refusal is known here.
  if (!VpnOperations(account_, database_).ApplyProxy()) {
    ShowTip(LanguageText(Keys::kBrowserFailed), kRed);
    tasks_.Post([&account = account_, &database = database_] { VpnOperations(account, database).SwitchOff(); });
    return;
  }
  ProtectChannels::kRefreshButton.Post();
  ShowTip(LanguageText(Keys::kSuccess), kGreen);
  SetTimer(kCloseTimer, kSuccessCloseMs);
}

void ProtectWnd::ShowTip(const QString& text, quint32 argb) {
  auto* tip = FindControl<DuiLib::CLabelUI>(QStringLiteral("tip_lbl"));
  if (tip == nullptr) return;
  tip->SetTextColor(QColor::fromRgba(argb));
  tip->SetText(text);
}

void ProtectWnd::SetButtonText(const QString& button, const QString& text) {
  if (auto* control = FindControl(button)) control->SetText(text);
}

}  // namespace tarvo

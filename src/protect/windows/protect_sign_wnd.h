#pragma once
// The certification window of a protected site ("protectsign.xml"): authority
// certification, signature and guarantee, each on its own tab, the first tab the
// first the site has. The authority icons are fetched in the background into the
// cache folder and shown as each arrives; a private window's are fetched into
// memory and shown from there, so nothing of its browsing reaches the disk.
//
// Threads: GUI thread only. Modal; the object lives on the caller's stack. Icon
// fetches run on worker threads and come back through the Qt event loop; once the
// window has closed (or the object is gone) what still arrives is dropped.
#include <memory>
#include <vector>

#include "protect/authority_icon_cache.h"
#include "protect/protect_sign_details.h"
#include "shell/pages/i_notify_icon.h"
#include "ui/window_impl_base.h"

namespace tarvo {

class DomainList;

class ProtectSignWnd : public DuiLib::WindowImplBase, public INotifyIcon {
 public:
  // `cacheFolder`: where the icons go ("appdata/cache", ending with "/"); with
  // `inMemory` (a private window's) nothing is written there. `route`: the way the
  // icons are fetched.
  ProtectSignWnd(ProtectSignDetails details, WString cacheFolder, VpnRoute route, bool inMemory = false);
  ~ProtectSignWnd() override;
  ProtectSignWnd(const ProtectSignWnd&) = delete;
  ProtectSignWnd& operator=(const ProtectSignWnd&) = delete;

  // Shows the window for the site of a page (its displayed and loaded addresses),
  // modal over `owner` and centred on it, in the interface language. Nothing opens
  // when `list` has no row for the pair; returns whether the window was shown.
  // `privately`: for a private window's page (the icons stay in memory).
  static bool ShowFor(DuiLib::HWND owner, const DomainList& list, const WString& displayUrl,
                      const WString& loadedUrl, VpnRoute route, bool privately = false);

  // Creates the window centred on `owner` and runs it modally.
  int Run(DuiLib::HWND owner);
  void ShowTab(ProtectSignDetails::Tab tab);
  ProtectSignDetails::Tab CurrentTab() const { return tab_; }
  // The cache file of each authority icon, in list order (empty for an address
  // that names none, and for every icon kept in memory).
  const std::vector<WString>& IconFiles() const { return iconFiles_; }

  // An icon's file is in place: the picture control of its position shows it.
  void OnIconReady(const WString& iconUrl, const WString& file) override;
  void Notify(DuiLib::TNotifyUI& msg) override;
  std::unique_ptr<DuiLib::CControlUI> CreateControl(const QString& tag) override;

 protected:
  QString GetWindowClassName() const override { return QStringLiteral("KXProtectSignWnd"); }
  QString GetSkinFile() override { return QStringLiteral("protectsign.xml"); }
  void OnFinalMessage(DuiLib::HWND hwnd) override;

 private:
  // What a fetch reports back to: the window while it is open, nothing afterwards.
  struct Listener {
    ProtectSignWnd* window = nullptr;
  };

  void Fill();
  void RequestIcons();
  // Fetches the icons into memory; each shows at its position when it arrives.
  void RequestIconsInMemory();
  // Runs `show` on the GUI thread while the window is still open.
  static void WhileOpen(const std::weak_ptr<Listener>& listener, std::function<void(ProtectSignWnd&)> show);

  ProtectSignDetails details_;
  AuthorityIconCache cache_;
  bool inMemory_ = false;
  std::vector<WString> iconFiles_;
  ProtectSignDetails::Tab tab_ = ProtectSignDetails::kAuthorityTab;
  std::shared_ptr<Listener> listener_;
};

}  // namespace tarvo

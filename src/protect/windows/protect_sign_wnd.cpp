#include "protect/windows/protect_sign_wnd.h"

#include <QCoreApplication>
#include <QImage>
#include <QMetaObject>

#include "platform/debug_output.h"
#include "protect/domain_list.h"
#include "protect/windows/memory_picture_ui.h"
#include "protect/windows/sign_and_qr_language_keys.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"
#include "shell/windows/language_texts.h"
#include "shell/windows/windows_language_keys.h"
#include "ui/tab_layout_ui.h"
#include "ui/ui_notify_types.h"

namespace tarvo {

namespace {

constexpr std::array<const char*, 3> kTabLayouts = {"tab_01", "tab_02", "tab_03"};
constexpr std::array<const char*, 3> kHeaderImages = {"Protect/safe01_icon01.png", "Protect/safe02_icon01.png",
                                                      "Protect/safe03_icon01.png"};
constexpr std::array<const char*, 3> kTabButtons = {"protectsign/btn01", "protectsign/btn02", "protectsign/btn03"};
constexpr std::array<WStringView, 3> kTabTitles = {u"protectsign/auth/title", u"protectsign/sign/title",
                                                   u"protectsign/guar/title"};
// The button of the tab shown is tinted.
constexpr const char* kShownTabColour = "#FFE3ECFD";

QString IconControlName(size_t index) { return QStringLiteral("tab01/signIcon%1").arg(index); }

}  // namespace

ProtectSignWnd::ProtectSignWnd(ProtectSignDetails details, WString cacheFolder, VpnRoute route, bool inMemory)
    : details_(std::move(details)),
      cache_(std::move(cacheFolder), route),
      inMemory_(inMemory),
      listener_(std::make_shared<Listener>()) {
  listener_->window = this;
}

ProtectSignWnd::~ProtectSignWnd() { listener_->window = nullptr; }

bool ProtectSignWnd::ShowFor(DuiLib::HWND owner, const DomainList& list, const WString& displayUrl,
                             const WString& loadedUrl, VpnRoute route, bool privately) {
  DomainRecord record;
  if (!list.GetProtectRecord(displayUrl, loadedUrl, record)) return false;
  const bool chinese = LanguageManager::Instance().GetCurrentLanguage() == u"china";
  ProtectSignWnd window(ProtectSignDetails::FromRecord(record, chinese),
                        SettingsRegistry::Instance().Get(SettingsKeys::kCacheFolder), route, privately);
  return window.Run(owner) >= 0;
}

int ProtectSignWnd::Run(DuiLib::HWND owner) {
  if (Create(owner, QStringLiteral("protectsign_wnd"), DuiLib::WS_POPUP, DuiLib::WS_EX_TOOLWINDOW) == 0) return -1;
  CenterWindow();
  return ShowModal();
}

void ProtectSignWnd::Notify(DuiLib::TNotifyUI& msg) {
  const QString name = msg.pSender != nullptr ? msg.pSender->GetName() : QString();
  if (msg.sType == DuiLib::kNotifyWindowInit) {
    Fill();
    inMemory_ ? RequestIconsInMemory() : RequestIcons();
  } else if (msg.sType == DuiLib::kNotifyClick) {
    for (size_t tab = 0; tab < kTabButtons.size(); ++tab) {
      if (name == QLatin1String(kTabButtons[tab])) ShowTab(static_cast<ProtectSignDetails::Tab>(tab));
    }
    if (name == QLatin1String("cancel_btn")) Close(DuiLib::IDCANCEL);
  }
  WindowImplBase::Notify(msg);
}

void ProtectSignWnd::Fill() {
  SetLanguageToolTip(FindControl(QStringLiteral("cancel_btn")), WindowsLanguageKeys::kDialogClose);
  for (WStringView key : SignAndQrLanguageKeys::kSignTexts) {
    SetLanguageText(FindControl(QString::fromUtf16(key.data(), static_cast<int>(key.size()))), key);
  }
  const QString count = QString::number(details_.iconUrls.size());
  if (auto* info = FindControl(QStringLiteral("protectsign/auth/info"))) {
    info->SetText(LanguageText(SignAndQrLanguageKeys::kAuthInfoBegin) + count +
                  LanguageText(SignAndQrLanguageKeys::kAuthInfoEnd));
  }
  const std::array<std::pair<const char*, const WString*>, 5> values = {{
      {"protectsign_site", &details_.site},
      {"protectsign/sign/level", &details_.grade},
      {"protectsign/sign/code", &details_.code},
      {"protectsign/sign/desc", &details_.description},
      {"protectsign/guar/data", &details_.guarantee},
  }};
  for (const auto& [control, text] : values) {
    if (auto* found = FindControl(QLatin1String(control))) found->SetText(QString::fromStdU16String(*text));
  }
  for (size_t tab = 0; tab < kTabButtons.size(); ++tab) {
    auto* button = FindControl(QLatin1String(kTabButtons[tab]));
    if (button == nullptr) continue;
    const bool has = details_.Has(static_cast<ProtectSignDetails::Tab>(tab));
    button->SetAttribute(QStringLiteral("normalimage"),
                         QStringLiteral("Protect\\btn%1_%2.png").arg(tab + 1, 2, 10, QLatin1Char('0')).arg(has ? "yes" : "no"));
    button->SetToolTip(LanguageText(kTabTitles[tab]));
  }
  ShowTab(details_.FirstTab());
}

void ProtectSignWnd::ShowTab(ProtectSignDetails::Tab tab) {
  tab_ = tab;
  if (auto* layout = FindControl<DuiLib::CTabLayoutUI>(QStringLiteral("protectsign_tab"))) {
    layout->SelectItem(FindControl(QLatin1String(kTabLayouts[tab])));
  }
  if (auto* header = FindControl(QStringLiteral("protectsign/header_icon"))) {
    header->SetBkImage(QLatin1String(kHeaderImages[tab]));
  }
  for (size_t index = 0; index < kTabButtons.size(); ++index) {
    if (auto* button = FindControl(QLatin1String(kTabButtons[index]))) {
      button->SetAttribute(QStringLiteral("bkcolor"), index == static_cast<size_t>(tab) ? kShownTabColour : "#00000000");
    }
  }
}

void ProtectSignWnd::RequestIcons() {
  iconFiles_.clear();
  const std::weak_ptr<Listener> listener = listener_;
  for (size_t index = 0; index < details_.iconUrls.size(); ++index) {
    const WString& url = details_.iconUrls[index];
    iconFiles_.push_back(cache_.PathFor(url, index));
    if (iconFiles_.back().empty()) {
      DebugOutput("protect sign: icon address " + std::to_string(index) + " names no cache file; not fetched");
      continue;
    }
    cache_.FetchAsync(url, index, [listener](const WString& iconUrl, const WString& file) {
      WhileOpen(listener, [iconUrl, file](ProtectSignWnd& window) { window.OnIconReady(iconUrl, file); });
    });
  }
}

void ProtectSignWnd::RequestIconsInMemory() {
  iconFiles_.assign(details_.iconUrls.size(), WString());
  const std::weak_ptr<Listener> listener = listener_;
  for (size_t index = 0; index < details_.iconUrls.size(); ++index) {
    cache_.FetchToMemoryAsync(details_.iconUrls[index], [listener, index](const WString&, std::string bytes) {
      WhileOpen(listener, [index, bytes = std::move(bytes)](ProtectSignWnd& window) {
        const QImage icon = QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()), static_cast<int>(bytes.size()));
        auto* picture = window.FindControl<MemoryPictureUI>(IconControlName(index));
        if (picture != nullptr && !icon.isNull()) picture->SetPicture(icon);
      });
    });
  }
}

void ProtectSignWnd::WhileOpen(const std::weak_ptr<Listener>& listener, std::function<void(ProtectSignWnd&)> show) {
  auto* app = QCoreApplication::instance();
  if (app == nullptr) return;
  // The listener is read on the GUI thread, where the window also closes.
  QMetaObject::invokeMethod(
      app,
      [listener, show = std::move(show)] {
        const std::shared_ptr<Listener> alive = listener.lock();
        if (alive != nullptr && alive->window != nullptr) show(*alive->window);
      },
      Qt::QueuedConnection);
}

std::unique_ptr<DuiLib::CControlUI> ProtectSignWnd::CreateControl(const QString& tag) {
  if (tag.compare(QLatin1String(MemoryPictureUI::kTag), Qt::CaseInsensitive) == 0) {
    return std::make_unique<MemoryPictureUI>();
  }
  return nullptr;
}

void ProtectSignWnd::OnIconReady(const WString&, const WString& file) {
  for (size_t index = 0; index < iconFiles_.size(); ++index) {
    if (iconFiles_[index] != file) continue;
    if (auto* picture = FindControl(IconControlName(index))) {
      // A bare absolute path: the attribute syntax would break on a quote in it.
      picture->SetBkImage(QString::fromStdU16String(file));
      DebugOutput("protect sign: authority icon " + std::to_string(index) + " shown");
    }
  }
}

void ProtectSignWnd::OnFinalMessage(DuiLib::HWND hwnd) {
  // The controls go now; icons that arrive later have nowhere to show.
  listener_->window = nullptr;
  WindowImplBase::OnFinalMessage(hwnd);
}

}  // namespace tarvo

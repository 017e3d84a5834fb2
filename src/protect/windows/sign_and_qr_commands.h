#pragma once
// The main windows' certification and QR commands ("protectsign_btn", "qrcode_btn")
// and the two toolbar buttons' states: the sign button is shown only while the
// selected page is on a protected site, the QR button is enabled only while the
// page shows an address a phone can open (http or https).
//
// Threads: GUI thread. Registered once at start-up, before the first window.
#include "account/vpn_route.h"
#include "platform/text.h"

namespace tarvo {

class BrowserWindows;
class Page;

class SignAndQrCommands {
 public:
  // Registers kShowProtectSign and kShowQrCode, and a hook that keeps each new
  // window's two buttons in step with its selected page.
  static void Register(BrowserWindows& windows, VpnRoute iconRoute);

  // Whether `page` (may be null) is on a protected site, loaded from its mirror.
  static bool IsOnProtectedSite(const Page* page);
  // The address a QR code is offered for: the address the page shows (a protected
  // site's own address, never its mirror) when it is an http or https address;
  // empty otherwise.
  static WString QrAddressOf(const Page* page);
};

}  // namespace tarvo

#pragma once

namespace tarvo {

class IBrowserWindow;

// The toolbar's VPN switch, "protect_btn": lit (the green shield) while the
// Chromium engine goes through a node's proxy, plain otherwise; its tooltip says
// what a click does, or that the switch is at work.
//
// GUI thread.
class VpnButton {
 public:
  // Draws the button of `window` for the VPN on (`vpnOn`: its proxy applied) or off.
  static void Draw(IBrowserWindow& window, bool vpnOn);
  // Says on the button of `window` that the switch is at work.
  static void ShowWorking(IBrowserWindow& window);
};

}  // namespace tarvo

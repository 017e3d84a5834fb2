#pragma once

#include "account/account_state.h"
#include "account/vpn_node.h"
#include "platform/text.h"
#include "store/info_records.h"

namespace tarvo {

class FormBody;

// The VPN: node lists, connections through a node's proxy and their cancelling, the
// proxy preference of the Chromium engine (through the IVpnProxyEngine installed in
// the AccountState), the white list, and the toolbar's on/off switch. Results land in
// the AccountState it is given; the switch reports to the main window through the bus.
//
// Every operation that asks the service blocks until it answers or the request's
// time limit passes, so the interface runs them on the AccountTaskQueue (the white
// list is refreshed by the service loop).
//
// Threads: any thread, one operation at a time per process (the task queue runs
// them in order). Holds non-owning references to the account state and the
// database, which outlive it.
class VpnOperations {
 public:
  static constexpr int kNoTimeLeft = -2;  // the service answered 421
  static constexpr int kRefused = -3;     // the service answered 403

  VpnOperations(AccountState& account, UserDatabase& database)
      : account_(account), database_(database), info_(database) {}

  // The logged-in user's nodes (the token only when the stored login holds): 0, and
  // the list in AccountState and "vpnnodelist"; kRefused, or -1 with the list as it
  // was (also for a malformed list).
  int FetchNodeList();
  // The nodes offered without a login: 0, kRefused or -1, as above.
  int FetchAnonymousNodeList();
  // Opens the user's connection on `node`: 0 with the node's address, the proxy
  // token and the connected flag in AccountState; kNoTimeLeft, or -1 with the state
  // unchanged. The proxy is not applied yet (ApplyProxy).
  int ConnectNode(const VpnNode& node);
  // ConnectNode on the first node of the user's list: 0, or -1 (also for an empty list).
  int ConnectFirstNode();
  // Fetches the anonymous list and opens an anonymous connection on its first node:
  // 0, kNoTimeLeft, kRefused or -1.
  int ConnectAnonymous();
  // Closes the user's connection at the service (also when none is open, then with
  // an empty proxy token); whatever it answers, removes the proxy and forgets the
  // connection here.
  void CancelConnection();
  // The same for the connection of `user` (a user being logged out).
  void CancelConnection(const AccountState::User& user);
  // The same for an anonymous connection.
  void CancelAnonymousConnection();
  // Closes whichever connection is open (the kind it was opened as; a user's as
  // `user`, by default the one logged in) and posts "reflash_button"; nothing when
  // none is open.
  void SwitchOff();
  void SwitchOff(const AccountState::User& user);
  // While connected: points the engine at the node's proxy and sets the
  // proxy-applied flag; false (flag unchanged) when not connected or the engine
  // refused.
  bool ApplyProxy();
  // Points the engine back at the system settings and clears the flag.
  void RemoveProxy();
  // While the white list is active: the service's white list, decrypted, into
  // AccountState; 0, or -1 with the list as it was. Inactive: 0 and no request.
  int RefreshWhiteList();
  // The toolbar's VPN switch: switches an open connection off; otherwise connects a
  // user without node choice to the first node, opens the panel ("show_dialog") for
  // a user who may choose, or connects anonymously without a login. Failures post
  // "show_vpn403" (the service refused) or "show_vpn_failed"; every end posts
  // "reflash_button" so the button shows the state.
  void ToggleVpn();

 private:
  int ReadNodeList(WStringView path, const FormBody& body, bool userList);
  int OpenConnection(WStringView path, const FormBody& body, const VpnNode& node, bool anonymous);
  void CloseConnection(WStringView path, const FormBody& body);
  // Applies the proxy of the connection just opened; when the engine refuses, the
  // connection is closed again and the failure reported.
  void ApplyOrUndo();
  // Posts "show_vpn403" for kRefused, "show_vpn_failed" for any other failure.
  static void ReportFailure(int result);

  AccountState& account_;
  UserDatabase& database_;
  InfoRecords info_;
};

}  // namespace tarvo

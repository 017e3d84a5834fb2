#include "account/account_operations.h"

#include <charconv>
#include <string>

#include "account/account_info_keys.h"
#include "account/vpn_operations.h"
#include "net/form_body.h"
#include "net/http_post_form.h"
#include "platform/clock.h"
#include "platform/debug_output.h"
#include "settings/language_manager.h"
#include "settings/settings_keys.h"
#include "settings/settings_registry.h"

namespace tarvo {

namespace {

constexpr char16_t kLoginPath[] = u"app/v1.0/login";
constexpr char16_t kLogoutPath[] = u"app/v1.0/logout";
constexpr char16_t kRegisterPath[] = u"app/v1.0/register";
constexpr char16_t kUserInfoPath[] = u"app/v1.0/user_info";

WString Text(const Json::Value& data, std::string_view name) {
  return Utf8ToWide(ServiceReply::ReadString(data, name));
}

std::optional<int64_t> ParseSeconds(const WString& text) {
  const std::string digits = WideToUtf8(text);
  int64_t seconds = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), seconds);
  if (digits.empty() || error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return seconds;
}

bool IsFresh(int64_t loginTime) { return NowSeconds() - loginTime <= AccountOperations::kLoginLifetimeSeconds; }

// Tells the service that `user`'s token is done with; true when it answered at all
// (whatever its code: a token it no longer knows is just as done).
bool TellLogout(const AccountState::User& user) {
  ServiceReply reply;
  return CallService(kLogoutPath, FormBody().Add("id", user.id).Add("token", user.token), reply) == 0;
}

}  // namespace

std::optional<WString> AccountOperations::ReadInfo(WStringView key) const {
  WString value;
  if (info_.GetInfo(key, value) != 0) return std::nullopt;
  return value;
}

int AccountOperations::Login(const WString& name, const WString& password) {
  VpnOperations(account_, database_).SwitchOff();
  ServiceReply reply;
  const FormBody body = FormBody().Add("username", name).Add("password", password).Add("type", "PC");
  if (CallService(kLoginPath, body, reply) != 0 || !reply.succeeded()) {
    DebugOutput("login refused or unanswered");
    return -1;
  }
  AccountState::User user;
  user.id = Text(reply.data(), "id");
  user.token = Text(reply.data(), "token");
  user.group = Text(reply.data(), "user_group");
  user.selectPermission = ServiceReply::ReadBool(reply.data(), "select_permission");
  user.name = name;
  user.loginTime = NowSeconds();
  if (user.id.empty() || user.token.empty()) return -1;
  // The token last: a login whose values were only partly written has no token and
  // so never passes CheckLogin.
  const bool stored = info_.SetInfo(AccountInfoKeys::kLoginTime, AsciiToWide(std::to_string(user.loginTime))) == 0 &&
                      info_.SetInfo(AccountInfoKeys::kUserName, user.name) == 0 &&
                      info_.SetInfo(AccountInfoKeys::kUserId, user.id) == 0 &&
                      info_.SetInfo(AccountInfoKeys::kUserGroup, user.group) == 0 &&
                      info_.SetInfo(AccountInfoKeys::kCanSelect, user.selectPermission ? u"1" : u"0") == 0 &&
                      info_.SetInfo(AccountInfoKeys::kUserToken, user.token) == 0;
  if (!stored) DebugOutput("login: the stored login could not be written; it ends with the browser");
  account_.SetUser(std::move(user));
  return 0;
}

int AccountOperations::Logout() {
  AccountState& state = account_;
  AccountState::User user = state.CurrentUser();
  if (user.id.empty()) {
    user.id = ReadInfo(AccountInfoKeys::kUserId).value_or(WString());
    user.token = ReadInfo(AccountInfoKeys::kUserToken).value_or(WString());
  }
  // Ended here first: nothing below may keep the user logged in.
  for (const char16_t* key : {AccountInfoKeys::kLoginTime, AccountInfoKeys::kUserToken, AccountInfoKeys::kUserId}) {
    info_.SetInfo(key, u"");
  }
  state.ClearUser();
  VpnOperations(account_, database_).SwitchOff(user);
  if (user.token.empty() || TellLogout(user)) return 0;
  state.SetPendingLogout(std::move(user));
  return -1;
}

void AccountOperations::SendPendingLogout() {
  AccountState& state = account_;
  std::optional<AccountState::User> pending = state.TakePendingLogout();
  if (pending && !TellLogout(*pending)) state.SetPendingLogout(std::move(pending));
}

int AccountOperations::Register(const WString& name, const WString& password) {
  const WString brand = SettingsRegistry::Instance().Get(SettingsKeys::kBrand);
  ServiceReply reply;
  const FormBody body = FormBody().Add("username", name).Add("password", password).Add("brand", brand);
  return CallService(kRegisterPath, body, reply) == 0 && reply.succeeded() ? 0 : -1;
}

int AccountOperations::GetUserInfo(const WString& id, const WString& token) {
  return AskUserInfo(id, token) == Answer::kYes ? 0 : -1;
}

AccountOperations::Answer AccountOperations::AskUserInfo(const WString& id, const WString& token) {
  const WString language = LanguageManager::Instance().GetCurrentLanguage();
  ServiceReply reply;
  const FormBody body = FormBody().Add("id", id).Add("token", token).Add("language", language);
  if (CallService(kUserInfoPath, body, reply) != 0) return Answer::kNone;
  if (!reply.succeeded()) return Answer::kNo;
  const Json::Value& data = reply.data();
  account_.SetUserProfile(
      {Text(data, "name"), Text(data, "sex"), Text(data, "status"), Text(data, "profile_photo")});
  return Answer::kYes;
}

bool AccountOperations::CheckLogin() {
  AccountState& state = account_;
  AccountState::User user;
  const std::optional<int64_t> loginTime = ParseSeconds(ReadInfo(AccountInfoKeys::kLoginTime).value_or(WString()));
  user.id = ReadInfo(AccountInfoKeys::kUserId).value_or(WString());
  user.name = ReadInfo(AccountInfoKeys::kUserName).value_or(WString());
  user.token = ReadInfo(AccountInfoKeys::kUserToken).value_or(WString());
  const bool complete = loginTime && IsFresh(*loginTime) && !user.id.empty() && !user.name.empty() && !user.token.empty();
  const Answer answer = complete ? AskUserInfo(user.id, user.token) : Answer::kNo;
  if (answer == Answer::kNone) {
    DebugOutput("account: the service did not answer; the login stays as it was");
    return false;
  }
  if (answer == Answer::kNo) {
    DebugOutput("account: no valid stored login");
    state.ClearUser();
    return false;
  }
  user.group = ReadInfo(AccountInfoKeys::kUserGroup).value_or(WString());
  user.selectPermission = ReadInfo(AccountInfoKeys::kCanSelect) == std::optional<WString>(u"1");
  user.loginTime = *loginTime;
  state.SetUser(std::move(user));
  DebugOutput("account: the stored login holds");
  return true;
}

bool AccountOperations::HoldsFreshLogin(const AccountState& account) {
  const AccountState::User user = account.CurrentUser();
  return !user.id.empty() && IsFresh(user.loginTime);
}

}  // namespace tarvo

#include "account/account_state.h"

namespace tarvo {

AccountState& AccountState::Instance() {
  static AccountState* state = new AccountState();  // never destroyed: worker threads outlive exit
  return *state;
}

}  // namespace tarvo

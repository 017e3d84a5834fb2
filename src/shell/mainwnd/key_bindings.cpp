#include "shell/mainwnd/key_bindings.h"

#include <array>

#include "shell/commands/main_window_commands.h"
#include "ui/ui_messages.h"

namespace tarvo {
namespace {

using namespace DuiLib;

struct Binding {
  unsigned vk;
  unsigned modifiers;
  unsigned command;
};

constexpr unsigned kCtrl = MK_CONTROL;
constexpr unsigned kCtrlShift = MK_CONTROL | MK_SHIFT;

constexpr std::array<Binding, 13> kBindings = {{
    {'W', kCtrl, Commands::kCloseTab},
    {'A', kCtrlShift, Commands::kShowClearData},
    {'F', kCtrl, Commands::kFindInPage},
    {VK_F11, 0, Commands::kToggleFullScreen},
    {'H', kCtrl, Commands::kHideFavorBar},
    {'N', kCtrlShift, Commands::kNewIncognitoWindow},
    {'N', kCtrl, Commands::kNewWindow},
    {VK_DELETE, kCtrlShift, Commands::kNothing},
    {'H', MK_ALT, Commands::kShowFavorBar},
    {VK_OEM_PLUS, kCtrlShift, Commands::kZoomIn},
    {VK_OEM_MINUS, kCtrl, Commands::kZoomOut},
    {VK_F5, 0, Commands::kReload},
    {VK_ESCAPE, 0, Commands::kLeaveFullScreen},
}};

}  // namespace

unsigned KeyBindings::CommandFor(unsigned vk, unsigned modifiers) {
  const unsigned held = modifiers & (MK_CONTROL | MK_SHIFT | MK_ALT);
  for (const Binding& binding : kBindings) {
    if (binding.vk == vk && binding.modifiers == held) return binding.command;
  }
  return 0;
}

}  // namespace tarvo

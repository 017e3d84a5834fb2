#pragma once

#include "ui/ui_defs.h"

namespace tarvo {

class CBodyBar;
class Pages;

// Where one main window's pages live: the window that hears the page messages, the
// body bar that holds the engine views and the page list. The engines are told of
// each window's host when it is built and keep pages of that window there. Plain
// data; every member is owned by the window.
struct PageHost {
  DuiLib::HWND mainWindow = 0;
  CBodyBar* bodyBar = nullptr;
  Pages* pages = nullptr;
};

}  // namespace tarvo

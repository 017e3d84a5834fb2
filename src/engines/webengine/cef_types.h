#pragma once

// Shared vocabulary of the Chromium layer: the reference type, the enumerations and
// the plain records that the engine's callers exchange with it. The names and the
// numeric values are the engine's own, so code written against the engine's
// documented interface reads unchanged.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

class QWidget;

namespace tarvo::cef {

// Engine objects are shared between the layer and its callers; the last holder
// frees them.
template <typename T>
using CefRefPtr = std::shared_ptr<T>;

// The native window of a browser: a Qt widget in this layer. Non-owning.
using CefWindowHandle = QWidget*;

// Threads an engine task can be posted to. Qt WebEngine calls back on the GUI
// thread, so every engine thread the callers name runs there.
enum CefThreadId { TID_UI = 0, TID_FILE = 1, TID_IO = 2 };

// How the page asked for a new browser to be shown.
enum cef_window_open_disposition_t {
  WOD_UNKNOWN = 0,
  WOD_SUPPRESS_OPEN = 1,
  WOD_CURRENT_TAB = 2,
  WOD_SINGLETON_TAB = 3,
  WOD_NEW_FOREGROUND_TAB = 4,
  WOD_NEW_BACKGROUND_TAB = 5,
  WOD_NEW_POPUP = 6,
  WOD_NEW_WINDOW = 7,
  WOD_SAVE_TO_DISK = 8,
  WOD_OFF_THE_RECORD = 9,
  WOD_IGNORE_ACTION = 10,
};

// How a renderer process ended while its browser was open.
enum cef_termination_status_t {
  TS_ABNORMAL_TERMINATION = 0,  // a non-zero exit
  TS_PROCESS_WAS_KILLED = 1,    // a signal from outside (the out-of-memory killer)
  TS_PROCESS_CRASHED = 2,
  TS_PROCESS_OOM = 3,
};

// Answer of the before-resource-load callback.
enum cef_return_value_t { RV_CANCEL = 0, RV_CONTINUE = 1, RV_CONTINUE_ASYNC = 2 };

// What a context menu was opened on; several flags may be set at once.
enum cef_context_menu_type_flags_t {
  CM_TYPEFLAG_NONE = 0,
  CM_TYPEFLAG_PAGE = 1 << 0,
  CM_TYPEFLAG_FRAME = 1 << 1,
  CM_TYPEFLAG_LINK = 1 << 2,
  CM_TYPEFLAG_MEDIA = 1 << 3,
  CM_TYPEFLAG_SELECTION = 1 << 4,
  CM_TYPEFLAG_EDITABLE = 1 << 5,
};

enum cef_context_menu_media_type_t {
  CM_MEDIATYPE_NONE = 0,
  CM_MEDIATYPE_IMAGE = 1,
  CM_MEDIATYPE_VIDEO = 2,
  CM_MEDIATYPE_AUDIO = 3,
  CM_MEDIATYPE_FILE = 4,
  CM_MEDIATYPE_PLUGIN = 5,
};

// The engine's own context-menu commands; a command the client does not handle is
// carried out by the engine when it is one of these.
enum cef_menu_id_t {
  MENU_ID_BACK = 100,
  MENU_ID_FORWARD = 101,
  MENU_ID_RELOAD = 102,
  MENU_ID_RELOAD_NOCACHE = 103,
  MENU_ID_STOPLOAD = 104,
  MENU_ID_UNDO = 110,
  MENU_ID_REDO = 111,
  MENU_ID_CUT = 112,
  MENU_ID_COPY = 113,
  MENU_ID_PASTE = 114,
  MENU_ID_DELETE = 115,
  MENU_ID_SELECT_ALL = 116,
  MENU_ID_USER_FIRST = 26500,
  MENU_ID_USER_LAST = 28500,
};

enum cef_event_flags_t { EVENTFLAG_NONE = 0 };

enum cef_pdf_print_margin_type_t {
  PDF_PRINT_MARGIN_DEFAULT = 0,
  PDF_PRINT_MARGIN_NONE = 1,
  PDF_PRINT_MARGIN_MINIMUM = 2,
  PDF_PRINT_MARGIN_CUSTOM = 3,
};

// Command-line arguments of the process, as the entry point received them. The
// arrays are not copied: they must outlive the engine (they are main's).
struct CefMainArgs {
  int argc = 0;
  char** argv = nullptr;
};

// Process-wide engine settings handed to CefInitialize.
struct CefSettings {
  std::string cache_path;   // HTTP cache folder; empty keeps the engine's default
  std::string log_file;     // the engine's own log; empty: no log file
  std::string user_agent;   // empty: the engine's own, as a desktop Chrome of its release
  std::string locale;       // user-interface locale, e.g. "zh-CN"; the Accept-Language too unless set below
  std::string accept_language;  // e.g. "zh-CN,zh;q=0.9"
  // Certificate errors are refused unless this names, for the failing address, a
  // mirror address of a protected site with the same scheme, host and port (the
  // engine compares them). Empty answer or unset: the error is refused.
  std::function<std::string(const std::string& url)> mirror_for_certificate_error;
};

// Where a new browser's window goes. Position and size are the window's initial
// geometry; the body sizes it later.
struct CefWindowInfo {
  CefWindowHandle parent_window = nullptr;  // non-owning; the new view becomes its child
  uint32_t style = 0;
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;

  void SetAsChild(CefWindowHandle parent, int left, int top, int w, int h) {
    parent_window = parent;
    x = left;
    y = top;
    width = w;
    height = h;
  }
};

// Per-browser settings. The layer keeps the engine's defaults; the record exists so
// callers can pass "all defaults" as the engine's interface expects.
struct CefBrowserSettings {};

// Pop-up window features the page asked for (window.open); informational.
struct CefPopupFeatures {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// PDF output settings. Sizes are micrometres; 0 means the engine's default (A4).
struct CefPdfPrintSettings {
  int page_width = 0;
  int page_height = 0;
  cef_pdf_print_margin_type_t margin_type = PDF_PRINT_MARGIN_DEFAULT;
  double margin_top = 0;     // millimetres, used with PDF_PRINT_MARGIN_CUSTOM
  double margin_right = 0;
  double margin_bottom = 0;
  double margin_left = 0;
  bool header_footer_enabled = false;
  std::string header_footer_title;
  std::string header_footer_url;
  bool selection_only = false;
  bool landscape = false;
  bool backgrounds_enabled = false;
};

}  // namespace tarvo::cef

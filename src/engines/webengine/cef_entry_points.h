#pragma once

#include "engines/webengine/cef_types.h"

namespace tarvo::cef {

class CefApp;
class CefTask;

// First call of the process, before the toolkit's QApplication exists. Returns 0
// at once when the command line carries an engine sub-process switch ("--type=..."):
// such a process must end there (the application hears its switches first).
// Otherwise prepares the browser process (sandbox only off for root) and returns -1.
// sandbox_info is unused here.
int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> app, void* sandbox_info);

// Starts the engine: after the QApplication exists and before any browser. The
// application's switches (and "--lang" from settings.locale, logging to
// settings.log_file) reach the engine; the profile gets the cache path, user agent
// and Accept-Language. False when called twice, after shutdown, or too early.
bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> app, void* sandbox_info);

// Closes every browser (clients hear OnBeforeClose) and stops the engine; later
// engine calls do nothing. Call before the QApplication goes. Idempotent.
void CefShutdown();

// Runs the task on the engine thread from the event loop. Callable from any
// thread; false when the engine is not running (the task is then dropped).
bool CefPostTask(CefThreadId thread, CefRefPtr<CefTask> task);

// True on the engine thread of that id (all of them are the GUI thread here).
bool CefCurrentlyOn(CefThreadId thread);

}  // namespace tarvo::cef

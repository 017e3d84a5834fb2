#include "engines/webengine/cef_entry_points.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

#include "engines/webengine/cef_app.h"
#include "engines/webengine/cef_command_line.h"
#include "engines/webengine/cef_task.h"
#include "engines/webengine/engine_context.h"

namespace tarvo::cef {

int CefExecuteProcess(const CefMainArgs& args, CefRefPtr<CefApp> app, void* /*sandbox_info*/) {
  auto command_line = CefCommandLine::CreateFromArgv(args.argc, args.argv);
  const std::string process_type = command_line->GetProcessType();
  if (!process_type.empty()) {
    // The engine runs its helper processes itself; a process started with one of
    // their switches has nothing to do here.
    if (app != nullptr) {
      app->OnBeforeCommandLineProcessing(process_type, *command_line);
    }
    return 0;
  }
  EngineContext::PrepareProcess();
  return -1;
}

bool CefInitialize(const CefMainArgs& args, const CefSettings& settings, CefRefPtr<CefApp> app,
                   void* /*sandbox_info*/) {
  return EngineContext::Instance().Initialize(args, settings, app.get());
}

void CefShutdown() { EngineContext::Instance().Shutdown(); }

bool CefPostTask(CefThreadId /*thread*/, CefRefPtr<CefTask> task) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || task == nullptr || !EngineContext::Instance().running()) {
    return false;
  }
  // Invoking on the application object queues the call on the GUI thread's loop,
  // which is safe from any thread.
  return QMetaObject::invokeMethod(
      app,
      [task] {
        if (EngineContext::Instance().running()) {
          task->Execute();
        }
      },
      Qt::QueuedConnection);
}

bool CefCurrentlyOn(CefThreadId /*thread*/) {
  QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

}  // namespace tarvo::cef

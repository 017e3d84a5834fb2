#pragma once

namespace tarvo::cef {

// Work posted to an engine thread with CefPostTask.
class CefTask {
 public:
  virtual ~CefTask() = default;
  // Runs once, on the thread the task was posted to.
  virtual void Execute() = 0;
};

}  // namespace tarvo::cef

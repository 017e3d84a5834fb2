#pragma once
// The engines' data as the clearing code sees it: each call goes to every engine's
// port in turn (the Chromium engine's first).
//
// Threads: the GUI thread. Lifetime: the ports outlive it, or are dropped with Use({}).
#include <vector>

#include "history/i_engine_data.h"

namespace tarvo {

class IEnginePort;

class EnginePortsData : public IEngineData {
 public:
  void Use(std::vector<IEnginePort*> ports) { ports_ = std::move(ports); }

  void ClearCookies() override;
  void ClearCache() override;
  void ClearVisitedLinks() override;

 private:
  std::vector<IEnginePort*> ports_;
};

}  // namespace tarvo

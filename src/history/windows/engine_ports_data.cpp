#include "history/windows/engine_ports_data.h"

#include "shell/pages/i_engine_port.h"

namespace tarvo {

void EnginePortsData::ClearCookies() {
  for (IEnginePort* port : ports_) port->ClearCookies();
}

void EnginePortsData::ClearCache() {
  for (IEnginePort* port : ports_) port->ClearCache();
}

void EnginePortsData::ClearVisitedLinks() {
  for (IEnginePort* port : ports_) port->ClearVisitedLinks();
}

}  // namespace tarvo

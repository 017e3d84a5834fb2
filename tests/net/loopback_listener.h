#pragma once

#include <cstdint>

namespace tarvo::test {

// A listening TCP socket on a free port of 127.0.0.1 (the caller closes it), its port
// in `port`; throws std::runtime_error naming `server` when it cannot listen.
int ListenOnLoopback(int backlog, uint16_t& port, const char* server);

}  // namespace tarvo::test

#pragma once

#include <curl/curl.h>

#include "net/curl_easy_handle.h"

namespace tarvo {

// The easy handle one transfer runs on, reset to libcurl's defaults. A direct
// request (no proxy of its own) borrows its thread's kept handle, whose connections
// stay open for the thread's next request to the same host (the service above all:
// one handshake for a whole round of requests, not one each), and whose new
// connections resume the TLS sessions that every thread's kept handles share. A
// request through a proxy (a VPN node) gets a handle of its own, closed with it, that
// shares nothing: what goes through a node must not be linked to what goes around it
// by a connection or a TLS session. A thread that already runs a transfer (a nested
// one) gets a fresh handle too. Plain and TLS requests keep their connections on
// separate handles: some libcurl releases (8.14, Debian 13's) hand an http: request
// a kept https: connection to the same host and port, so a request meant to go out
// in the clear (or to fail against a TLS port) would quietly ride on TLS instead.
//
// Threads: each thread keeps its own handle; the shared session cache is guarded by
// libcurl's share locks.
class CurlHandleLease {
 public:
  CurlHandleLease(bool direct, bool secure);
  ~CurlHandleLease();
  CurlHandleLease(const CurlHandleLease&) = delete;
  CurlHandleLease& operator=(const CurlHandleLease&) = delete;

  // Null when libcurl cannot make a handle.
  CURL* get() const { return handle_; }

  // How long a kept connection may wait for its next request: a little under what
  // servers commonly allow (the service's front allows 5 s), so it is not reused just
  // as the server closes it.
  static constexpr long kKeptConnectionSeconds = 4;

 private:
  CurlEasyHandle own_;       // a handle of this transfer alone
  CURL* handle_ = nullptr;   // own_, or the thread's kept handle
  bool* keptBusy_ = nullptr;  // the thread's "kept handle in use" flag, while borrowed
};

}  // namespace tarvo

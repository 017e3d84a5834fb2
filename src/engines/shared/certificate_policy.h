#pragma once

#include <QSet>
#include <QString>
#include <functional>
#include <string>

class QUrl;

namespace tarvo {

// Decides the engines' certificate errors: an error is accepted only where the
// address is the mirror address the program knows for it, compared as the engine
// parses addresses (scheme, host and port; user-info plays no part, so
// "https://mirror:x@elsewhere/" is elsewhere). The program's lookup stays the judge
// for the rest of the session. The engine remembers every certificate it was told
// to accept, per host, and never asks about it again; so once a host's certificate
// has been accepted, each later request to that host over https is put to the
// lookup again, and refused when it no longer names that address.
// Threads: GUI thread only (the engine asks about certificates and page requests
// there).
class CertificatePolicy {
 public:
  // The mirror address known for an address (given without user-info), or empty.
  using MirrorLookup = std::function<std::string(const std::string& url)>;

  explicit CertificatePolicy(MirrorLookup mirror_for) : mirror_for_(std::move(mirror_for)) {}

  // The answer to a certificate error met at url; overridable is false for errors
  // the engine never lets anyone accept (those are refused without asking).
  bool AcceptError(const QUrl& url, bool overridable);
  // False when a request to url would ride on an acceptance the engine remembers
  // but the lookup no longer gives.
  bool MayRequest(const QUrl& url) const;

 private:
  bool Ask(const QUrl& url) const;

  MirrorLookup mirror_for_;
  QSet<QString> accepted_hosts_;  // hosts the engine was told to accept a certificate for
};

}  // namespace tarvo

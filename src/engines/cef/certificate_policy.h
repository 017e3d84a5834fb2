#pragma once

#include <QSet>
#include <QString>
#include <functional>
#include <string>

class QUrl;

namespace tarvo::cef {

// Decides the engine's certificate errors with the program's predicate (asked with
// the address that met the error), and keeps that predicate the judge for the
// rest of the session. The engine remembers every certificate it was told to
// accept, per host, and never asks about it again; so once a host's certificate
// has been accepted, each later request to that host over https is put to the
// predicate again, and refused when the predicate no longer accepts.
// Threads: GUI thread only (the engine asks about certificates and page requests
// there).
class CertificatePolicy {
 public:
  using Predicate = std::function<bool(const std::string& url)>;

  explicit CertificatePolicy(Predicate accept) : accept_(std::move(accept)) {}

  // The answer to a certificate error met at url; overridable is false for errors
  // the engine never lets anyone accept (those are refused without asking).
  bool AcceptError(const QUrl& url, bool overridable);
  // False when a request to url would ride on an acceptance the engine remembers
  // but the predicate no longer gives.
  bool MayRequest(const QUrl& url) const;

 private:
  bool Ask(const QUrl& url) const;

  Predicate accept_;
  QSet<QString> accepted_hosts_;  // hosts the engine was told to accept a certificate for
};

}  // namespace tarvo::cef

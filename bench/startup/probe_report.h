#pragma once

#include <QElapsedTimer>
#include <QStringList>
#include <cstdio>

// What every start-up probe program does once all its tabs have loaded: print the
// milliseconds since the process's main began, then wait to be measured and ended
// by the harness.
//   probe <page url> <tab count> <profile folder>
struct ProbeArguments {
  QString url;
  int tabs = 1;
  QString profile;

  static bool Parse(const QStringList& arguments, ProbeArguments* out) {
    if (arguments.size() < 4) {
      std::fprintf(stderr, "usage: %s <url> <tabs> <profile folder>\n", qPrintable(arguments.value(0)));
      return false;
    }
    out->url = arguments[1];
    out->tabs = arguments[2].toInt();
    out->profile = arguments[3];
    return out->tabs > 0;
  }
};

inline void ReportLoaded(const QElapsedTimer& since_start) {
  std::printf("loaded %lld\n", static_cast<long long>(since_start.elapsed()));
  std::fflush(stdout);
}

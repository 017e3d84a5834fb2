#pragma once

#include <QStringList>
#include <cstdio>
#include <vector>

// What both tab probes do: open `tabs` tabs on the page one after another, timing
// each from the request to its page loaded, then switch between them round the
// strip, timing each switch; print the two means and "ready", then wait to be
// measured (PSS of the process tree) and ended by the harness.
//   probe <page url> <tab count> <profile folder>
struct TabProbeArguments {
  QString url;
  int tabs = 1;
  QString profile;

  static bool Parse(const QStringList& arguments, TabProbeArguments* out) {
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

// Switches measured per run: enough rounds to average out one slow repaint.
inline constexpr int kTabSwitches = 40;

inline double Mean(const std::vector<double>& values) {
  double sum = 0;
  for (double value : values) sum += value;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

inline void ReportTabs(const std::vector<double>& openMs, const std::vector<double>& switchMs) {
  std::printf("open %.3f\nswitch %.3f\nready\n", Mean(openMs), Mean(switchMs));
  std::fflush(stdout);
}

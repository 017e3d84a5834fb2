#pragma once

#include <cstdio>
#include <vector>

#include "bench/startup/probe_report.h"

// What both tab probes do: open `tabs` tabs on the page one after another, timing
// each from the request to its page loaded, then switch between them round the
// strip, timing each switch; print the two means and "ready", then wait to be
// measured (PSS of the process tree) and ended by the harness.
// Arguments as for the start-up probes: <page url> <tab count> <profile folder>.
using TabProbeArguments = ProbeArguments;

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

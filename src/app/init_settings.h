#pragma once

#include "platform/text.h"

namespace tarvo {

// Fills the settings registry at start-up and creates the per-user data folders
// (root, Cookie, Cache, Log, Picture). When a folder can't be created it shows
// "Can't create browser data, please reinstall!" and returns 0 at once, leaving the
// data keys absent; otherwise the result carries no meaning.
//
// TARVO_API_URL, when set, replaces the service base address (and the host of the
// password-reset page) for tests and staging; a plain http:// one is warned about on
// standard error. The brand's keys ("app/service_keys") and certification authority
// ("app/service_ca") are the build's; with a TARVO_API_URL on a loopback address,
// TARVO_API_KEYS adds keys and TARVO_API_CA names the authority file.
//
// Threads: the first thread, before any other thread starts.
int InitSettings();

// The folder of the running executable, ending in "/".
WString ProgramFolder();

}  // namespace tarvo

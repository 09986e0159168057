#pragma once

#include "vesanu/api/hostheaders.h"

namespace vesanu {
namespace api {

// The host's process-wide configuration store, made on first use by whoever
// comes first (the host or the plug-in) and never freed. The step is written
// on `Singleton<Config>::instance` itself: a host's Singleton need offer
// nothing else.
Config *configStore();

// Loads the ini file into the store. False only when the host's store says
// the load failed; a store whose loadFile() reports nothing is taken at its
// word, and the settings' own values then tell whether it worked.
bool loadSettings(const QString &path);

} // namespace api
} // namespace vesanu

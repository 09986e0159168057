#pragma once

#include "vesanu/api/hostheaders.h"

namespace vesanu {
namespace api {

// The host's process-wide configuration store, made on first use by whoever
// comes first (the host or the plug-in) and never freed. The step is written
// on `Singleton<Config>::instance` itself: a host's Singleton need offer
// nothing else.
Config *configStore();

} // namespace api
} // namespace vesanu

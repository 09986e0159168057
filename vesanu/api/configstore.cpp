#include "vesanu/api/configstore.h"

#include <type_traits>

namespace vesanu {
namespace api {

Config *configStore()
{
    if (!Singleton<Config>::instance)
        Singleton<Config>::instance = new Config();
    return Singleton<Config>::instance;
}

bool loadSettings(const QString &path)
{
    Config *config = configStore();
    // The one place that reads what a host's loadFile() returns: ours says
    // whether the file was read; another host's may return nothing.
    using Loaded = decltype(config->loadFile(path, QString()));
    if constexpr (std::is_convertible<Loaded, bool>::value)
        return bool(config->loadFile(path, QString()));
    config->loadFile(path, QString());
    return true;
}

} // namespace api
} // namespace vesanu

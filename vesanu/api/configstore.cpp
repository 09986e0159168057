#include "vesanu/api/configstore.h"

namespace vesanu {
namespace api {

Config *configStore()
{
    if (!Singleton<Config>::instance)
        Singleton<Config>::instance = new Config();
    return Singleton<Config>::instance;
}

} // namespace api
} // namespace vesanu

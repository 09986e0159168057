// A stand-in for a plug-in: a module loaded at run time that reaches the
// host's process-wide objects the way a plug-in does.
#include "config/config.h"
#include "network/restclient.h"

extern "C" {

Q_DECL_EXPORT Config *hostProbeConfigInstance()
{
    return Singleton<Config>::instance;
}

Q_DECL_EXPORT int hostProbeConfigInt(const char *key, int defaultValue)
{
    return Singleton<Config>::getInstance()->getInt(QString::fromUtf8(key), defaultValue);
}

// The class name of what the creator makes, and whether it is `expected`.
Q_DECL_EXPORT const char *hostProbeCreate(const RestClient *expected, bool *isExpected)
{
    const QSharedPointer<RestClient> client = MockFactory<RestClient>::creator();
    *isExpected = client.data() == expected;
    return client->metaObject()->className();
}

} // extern "C"

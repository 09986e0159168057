#include "apitestsupport.h"

MemoryConfig::MemoryConfig()
    : m_previous(Singleton<Config>::instance)
{
    Singleton<Config>::instance = this;
}

MemoryConfig::~MemoryConfig()
{
    Singleton<Config>::instance = m_previous;
}

int MemoryConfig::getInt(const QString &key, int defaultValue)
{
    bool ok = false;
    const int value = values.value(key).toInt(&ok);
    return ok ? value : defaultValue;
}

QJsonObject statusAnswer(int status, int errorCode)
{
    return {{"error_code", errorCode}, {"payment_status", status}};
}

#include "apitestsupport.h"

#include <algorithm>

MemoryConfig::MemoryConfig()
    : m_previous(Singleton<Config>::instance)
{
    Singleton<Config>::instance = this;
}

QString MemoryConfig::getString(const QString &key, const QString &defaultValue)
{
    if (key == QLatin1String("VesaNu:journal") && !values.contains(key))
        return m_journalDir.filePath(QStringLiteral("journal.sqlite"));
    // A register's credentials, unless a test says otherwise: without them nothing leaves.
    static const QHash<QString, QString> credentials{
        {QStringLiteral("VesaNu:branchId"), QStringLiteral("BR-TEST")},
        {QStringLiteral("VesaNu:cashboxCode"), QStringLiteral("CB-TEST")},
        {QStringLiteral("VesaNu:secretKey"), QStringLiteral("test-secret")}};
    if (credentials.contains(key) && !values.contains(key))
        return credentials.value(key);
    return values.value(key, defaultValue);
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

vesanu::api::WaitClock FakeClock::clock()
{
    vesanu::api::WaitClock clock;
    clock.now = [this] { return now; };
    clock.sleepUntil = [this](TimePoint until) { now = std::max(now, until); };
    return clock;
}

int FakeClock::elapsedMs() const
{
    return int(std::chrono::duration_cast<std::chrono::milliseconds>(now - start).count());
}

QJsonObject statusAnswer(int status, int errorCode)
{
    return {{"error_code", errorCode}, {"payment_status", status}};
}

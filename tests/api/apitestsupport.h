#pragma once

#include "config/config.h"
#include "support/fakeservice.h"
#include "vesanu/api/interface.h"

#include <QHash>
#include <QTemporaryDir>

// A configuration store held in memory, put in place of the process-wide
// one while it lives.
class MemoryConfig : public Config
{
public:
    MemoryConfig();
    ~MemoryConfig() override;

    bool loadFile(const QString &, const QString &) override { return true; }
    QString getString(const QString &key) override { return getString(key, QString()); }
    QString getString(const QString &key, const QString &defaultValue) override;
    int getInt(const QString &key, int defaultValue) override;

    QHash<QString, QString> values;

private:
    Config *m_previous;
    // Each store gives its client a journal of its own unless `values` names one.
    QTemporaryDir m_journalDir;
};

// Opens the client's settings to the tests.
class TestInterface : public vesanu::Interface
{
public:
    using Interface::branchId;
    using Interface::cashboxCode;
    using Interface::payDuration;
    using Interface::secretKey;
    using Interface::statusRequestInterval;
    using Interface::timeout;
};

QJsonObject statusAnswer(int status, int errorCode = 0);

// A wait clock that moves only when the wait sleeps or a test moves it, so
// that a wait of minutes takes no time.
class FakeClock
{
public:
    using TimePoint = vesanu::api::WaitClock::TimePoint;

    vesanu::api::WaitClock clock();
    // Milliseconds since the clock was made.
    int elapsedMs() const;
    void advance(std::chrono::milliseconds by) { now += by; }

    const TimePoint start = TimePoint(std::chrono::hours(1));
    TimePoint now = start;
};

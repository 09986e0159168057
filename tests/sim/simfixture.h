#pragma once

#include "simclient.h"
#include "simulatorprocess.h"

#include <QJsonArray>
#include <gtest/gtest.h>

// A running simulator with one known branch, secret and cashbox per test.
class SimFixture : public ::testing::Test
{
protected:
    static constexpr const char *Branch = "branch-1";
    static constexpr const char *Secret = "s3cret-key";

    void SetUp() override { ASSERT_TRUE(startWith({})) << sim.errorString().toStdString(); }

    bool startWith(const QStringList &extra)
    {
        if (sim.isRunning())
            sim.stop();
        return sim.start(QStringList { QStringLiteral("--branch"), QLatin1String(Branch),
                             QStringLiteral("--secret"), QLatin1String(Secret),
                             QStringLiteral("--cashbox"), QStringLiteral("cb-1,cb-2") }
            + extra);
    }

    SimClient client() const
    {
        return SimClient(sim.apiUrl(), QLatin1String(Branch), QLatin1String(Secret));
    }

    QJsonArray payments() const { return sim.ledger().value(QStringLiteral("payments")).toArray(); }

    QString field(const QString &transactionId, const char *key) const
    {
        return sim.payment(transactionId).value(QLatin1String(key)).toVariant().toString();
    }

    SimulatorProcess sim;
};

#pragma once

#include "faultcase.h"
#include "scenariorow.h"
#include "servicefarm.h"

#include <QList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class BasicPaymentProcessing;
class LedgerView;
class PaymentProcessingAnswer;

// Runs fault scenarios through the plug-in as the host loads it, against the
// simulator (or a bare socket), and judges each by the service's ledger. The
// rows of each test are saved for the reliability report when it ends.
class FaultBench : public ::testing::Test
{
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

protected:
    void SetUp() override;
    void TearDown() override;

    template<size_t N> void runTable(int order, const char *section, const FaultCase (&cases)[N])
    {
        for (const FaultCase &c : cases)
            run(order, section, c);
    }
    ScenarioRow run(int order, const char *section, const FaultCase &c);
    // One payment against the target, neither judged nor reported.
    void warmUp(Target target);
    // A row judged by the test itself, for the report.
    void keep(const ScenarioRow &row) { m_rows.append(row); }

    static ServiceFarm &farm() { return *s_farm; }
    // The plug-in's settings for a peer: the suite's defaults, then `settings`.
    static QString iniFor(const QUrl &host, const char *settings);
    // A payment of the suite's amount with this scenario token.
    static PaymentProcessingAnswer pay(BasicPaymentProcessing *processing, const QString &token);

private:
    struct Observation;

    Observation perform(const FaultCase &c, BasicPaymentProcessing *processing);
    void checkBounds(const FaultCase &c, const Observation &seen, const LedgerView &ledger);
    ScenarioRow judge(const FaultCase &c, const Observation &seen, const LedgerView &ledger);
    static QString peerAccount(Target target, const LedgerView &ledger, Operation operation);

    static std::unique_ptr<QTemporaryDir> s_directory;
    static std::unique_ptr<ServiceFarm> s_farm;
    QList<ScenarioRow> m_rows;
};

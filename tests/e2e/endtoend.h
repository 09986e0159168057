#pragma once

#include "simulatorprocess.h"
#include "support/loadedplugin.h"
#include "support/testcertificates.h"

#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

// One simulator over HTTP and one over HTTPS (with a test authority the
// client is told to trust) for the whole suite; each test loads the plug-in
// configured for one of them.
class EndToEnd : public ::testing::TestWithParam<bool>
{
public:
    static void SetUpTestSuite();
    static void TearDownTestSuite();

    static constexpr const char *Branch = "BR-42";
    static constexpr const char *Cashbox = "CB-7";
    static constexpr const char *Secret = "s,e;c#r%e=t";

protected:
    void SetUp() override;

    bool tls() const { return GetParam(); }
    SimulatorProcess &simulator() const;
    // The plug-in, initialised with short durations; `extra` lines override.
    std::unique_ptr<LoadedPlugin> loadPlugin(const QString &extra = QString()) const;

    PaymentProcessingAnswer pay(BasicPaymentProcessing *processing, const QString &token, int amount = 12345) const;
    // The ledger entry of the transaction an answer names (also on failure).
    QJsonObject ledgerEntry(const PaymentProcessingAnswer &answer) const;
    // The host's answer and the service's books must agree: success exactly
    // when the operation completed at the service.
    void expectAgreement(const PaymentProcessingAnswer &answer, const QJsonObject &entry,
                         const QString &completedState) const;
    // Where the answer says the money is, the service's ledger agrees.
    void expectMoneyAgrees(const PaymentProcessingAnswer &answer, const QJsonObject &entry) const;

private:
    static std::unique_ptr<QTemporaryDir> s_directory;
    static std::unique_ptr<TestCertificates> s_certificates;
    static std::unique_ptr<SimulatorProcess> s_http;
    static std::unique_ptr<SimulatorProcess> s_https;
};

std::string transportName(const ::testing::TestParamInfo<bool> &info);

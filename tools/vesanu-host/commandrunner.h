#pragma once

#include "configroot.h"
#include "invocation.h"
#include "journalcommand.h"

#include <QJsonObject>
#include <QString>

#include <chrono>

class BasicPaymentProcessing;

namespace vesanuhost {

// Carries out one checked invocation: prepares the environment the host's
// libraries read, loads the plug-in, calls init() as the cash register does
// and then the one operation asked for. Returns the exit code.
class CommandRunner
{
public:
    explicit CommandRunner(const Invocation &invocation);

    int run(const QString &executableDir);

private:
    int prepareEnvironment();
    bool needsSettings() const;
    int readSettings();
    int runVersion(const QString &executableDir);
    int dispatch(BasicPaymentProcessing &processing, const QJsonObject &metaData);
    int runInfo(BasicPaymentProcessing &processing, const QJsonObject &metaData);
    int runOperation(BasicPaymentProcessing &processing);
    int runSendFiscal(BasicPaymentProcessing &processing);
    int runCheck(const QString &executableDir);
    QString iniFilePath() const;
    bool readTokenFromStdin();
    int runJournal();
    int runJournalRetry();
    int finish(const JournalCommand::Result &result) const;
    bool showProgress() const;
    int usageError(const QString &error) const;
    int settingsError(const QString &error) const;
    void printJson(const QJsonObject &object) const;
    void print(const QString &text) const;

    Invocation m_invocation;
    ConfigRoot m_configRoot;
    // The plug-in's limit of a status wait, as its settings give it.
    std::chrono::seconds m_payDuration;
};

} // namespace vesanuhost

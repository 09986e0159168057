#include "commandrunner.h"

#include "answerformatter.h"
#include "console.h"
#include "exitcode.h"
#include "fiscalmessage.h"
#include "hostconstants.h"
#include "inforeport.h"
#include "interruptwatcher.h"
#include "journalcommand.h"
#include "journalreport.h"
#include "logwatcher.h"
#include "pluginhost.h"
#include "pluginlocator.h"
#include "progressline.h"
#include "requestfactory.h"
#include "journalcheck.h"
#include "setupcheck.h"
#include "userswitch.h"

#include "config/config.h"
#include "contract/basicpaymentprocessing.h"
#include "vesanu/api/constants.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTextStream>

#include <cstdio>
#include <memory>
#include <unistd.h>

namespace vesanuhost {

CommandRunner::CommandRunner(const Invocation &invocation)
    : m_invocation(invocation)
    , m_payDuration(vesanu::api::DefaultPayDurationSeconds)
{
}

int CommandRunner::run(const QString &executableDir)
{
    if (m_invocation.version)
        return runVersion(executableDir);
    const LogWatcher watcher(m_invocation.verbose);
    // Before anything is read or loaded: what the register's user can do is the question.
    QString refused;
    if (!m_invocation.user.isEmpty() && !UserSwitch::switchTo(m_invocation.user, &refused))
        return usageError(refused);
    const int prepared = prepareEnvironment();
    if (prepared != ExitSuccess)
        return prepared;
    if (m_invocation.command == Invocation::Command::Check)
        return runCheck(executableDir);
    if (m_invocation.token == QLatin1String(TokenFromStdin) && !readTokenFromStdin())
        return usageError(QStringLiteral("no token on standard input"));
    // The journal is read as it is: loading the plug-in would settle it first.
    if (m_invocation.command == Invocation::Command::Journal
        && m_invocation.journalAction != Invocation::JournalAction::Retry)
        return runJournal();
    const int settings = needsSettings() ? readSettings() : ExitSuccess;
    if (settings != ExitSuccess)
        return settings;
    QString busy;
    if (m_invocation.command == Invocation::Command::Journal
        && !JournalCommand::canWrite(JournalReport::journalPath(), &busy)) {
        Console::writeLine(QStringLiteral("vesanu-host: the plug-in cannot settle the journal \"%1\": %2")
                               .arg(JournalReport::journalPath(), busy));
        return ExitFailed;
    }
    PluginLocator locator;
    if (!locator.locate(m_invocation.pluginPath, executableDir))
        return usageError(locator.errorString());
    PluginHost host;
    if (!host.load(locator.path()))
        return usageError(host.errorString());
    BasicPaymentProcessing &processing = *host.processing();
    LogWatcher::resetCounts();
    processing.init();
    return dispatch(processing, host.metaData());
}

// The host's libraries read these when the plug-in first needs them, so
// they are in place before the plug-in is even loaded. A root or ini file
// that is not there leaves the plug-in without settings.
int CommandRunner::prepareEnvironment()
{
    if (!m_invocation.configRoot.isEmpty() && !m_configRoot.useRoot(m_invocation.configRoot))
        return settingsError(m_configRoot.errorString());
    // The check reports a missing or unreadable ini file on its list, and
    // judges no other file in its place.
    if (!m_invocation.iniFile.isEmpty() && !m_configRoot.useIniFile(m_invocation.iniFile)
        && (m_invocation.command != Invocation::Command::Check || !m_configRoot.useEmptyRoot()))
        return settingsError(m_configRoot.errorString());
    if (!m_invocation.caFile.isEmpty()) {
        const QFileInfo caFile(m_invocation.caFile);
        if (!caFile.isFile())
            return usageError(QStringLiteral("CA file \"%1\" does not exist").arg(m_invocation.caFile));
        qputenv(CaFileVariable, QFile::encodeName(caFile.absoluteFilePath()));
    }
    return ExitSuccess;
}

// The commands that talk to the service.
bool CommandRunner::needsSettings() const
{
    switch (m_invocation.command) {
    case Invocation::Command::Pay:
    case Invocation::Command::Refund:
    case Invocation::Command::Cancel:
    case Invocation::Command::SendFiscal:
        return true;
    case Invocation::Command::Journal:
        return m_invocation.journalAction == Invocation::JournalAction::Retry;
    case Invocation::Command::Info:
    case Invocation::Command::Check:
        break;
    }
    return false;
}

// Checked before the plug-in loads: without its settings it still starts,
// and only fails once the money is on its way.
int CommandRunner::readSettings()
{
    const QString path = iniFilePath();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settingsError(QStringLiteral("the ini file \"%1\" cannot be read: %2").arg(path, file.errorString()));
    Config settings;
    settings.loadFile(QLatin1String(PluginIniPath));
    const QStringList missing = SetupCheck::missingSettings(settings);
    if (!missing.isEmpty())
        return settingsError(QStringLiteral("the ini file \"%1\" lacks settings: %2")
                                 .arg(path, missing.join(QStringLiteral(", "))));
    m_payDuration = std::chrono::seconds(settings.getInt(QString::fromUtf8(vesanu::api::SettingPayDuration),
                                                         vesanu::api::DefaultPayDurationSeconds));
    return ExitSuccess;
}

// What the plug-in's metadata says of it: it is read, not run.
int CommandRunner::runVersion(const QString &executableDir)
{
    QString text = QStringLiteral("vesanu-host %1\n").arg(QLatin1String(ToolVersion));
    PluginLocator locator;
    PluginHost host;
    if (!locator.locate(m_invocation.pluginPath, executableDir)) {
        text += locator.errorString() + QLatin1Char('\n');
    } else if (!host.readMetaData(locator.path())) {
        text += host.errorString() + QLatin1Char('\n');
    } else {
        const QJsonObject metaData = host.metaData();
        text += QStringLiteral("plug-in: %1, %2 for Qt %3\n")
                    .arg(locator.path(), metaData.value(QLatin1String(metadata::ClassName)).toString(),
                         InfoReport::qtVersion(metaData.value(QLatin1String(metadata::Version)).toInt()));
    }
    print(text);
    return ExitSuccess;
}

int CommandRunner::dispatch(BasicPaymentProcessing &processing, const QJsonObject &metaData)
{
    switch (m_invocation.command) {
    case Invocation::Command::Info:
        return runInfo(processing, metaData);
    case Invocation::Command::SendFiscal:
        return runSendFiscal(processing);
    case Invocation::Command::Journal:
        return runJournalRetry();
    case Invocation::Command::Check:
    case Invocation::Command::Pay:
    case Invocation::Command::Refund:
    case Invocation::Command::Cancel:
        break;
    }
    return runOperation(processing);
}

int CommandRunner::runInfo(BasicPaymentProcessing &processing, const QJsonObject &metaData)
{
    const QJsonObject report = InfoReport::collect(metaData, processing);
    if (m_invocation.json)
        printJson(report);
    else
        print(InfoReport::toText(report));
    return ExitSuccess;
}

int CommandRunner::runOperation(BasicPaymentProcessing &processing)
{
    const PaymentProcessingRequest request = RequestFactory::create(m_invocation);
    const bool cancel = m_invocation.command == Invocation::Command::Cancel;
    // The cash register offers only what the plug-in enables; so do we.
    const bool enabled = cancel ? processing.isCancelEnable(request.getRequestType())
                                : processing.isPaymentEnable(request.getRequestType());
    if (!enabled) {
        Console::writeLine(QStringLiteral("vesanu-host: the plug-in does not accept request type %1 for %2")
                               .arg(request.getRequestType())
                               .arg(cancel ? QStringLiteral("cancel") : QStringLiteral("payment")));
        return ExitFailed;
    }

    // A payment is what the cancel key stops; a refund cannot be interrupted.
    const bool interruptible = m_invocation.command == Invocation::Command::Pay;
    LogWatcher::resetCounts();
    ProgressLine progress(&LogWatcher::statusQueries, m_payDuration,
                          interruptible ? QString::fromUtf8(CancelHint) : QString());
    if (showProgress())
        progress.start();
    std::unique_ptr<InterruptWatcher> cancelKey;
    if (interruptible)
        cancelKey = std::make_unique<InterruptWatcher>([&processing] { return processing.interruptPayment(); });
    const PaymentProcessingAnswer answer = cancel ? processing.cancel(request) : processing.payment(request);
    cancelKey.reset();
    progress.stop();

    const int queries = LogWatcher::statusQueries();
    if (m_invocation.json)
        printJson(AnswerFormatter::toJson(answer, queries));
    else
        print(AnswerFormatter::toText(answer, queries));
    return exitCodeFor(answer);
}

int CommandRunner::runSendFiscal(BasicPaymentProcessing &processing)
{
    const bool delivered =
        processing.sendEnqueuedMessage(FiscalMessage::build(m_invocation.rrn, m_invocation.qr));
    if (m_invocation.json)
        printJson(QJsonObject{{QLatin1String(json::Delivered), delivered}});
    else
        print(delivered ? QStringLiteral("delivered\n") : QStringLiteral("not delivered\n"));
    return delivered ? ExitSuccess : ExitFailed;
}

// Every check runs that can: a plug-in that does not load still leaves the
// file and its settings to be judged.
int CommandRunner::runCheck(const QString &executableDir)
{
    SetupCheck check;
    if (!m_invocation.user.isEmpty())
        check.add(SetupCheck::Mark::Note, QStringLiteral("checks run as user %1").arg(UserSwitch::currentUser()));
    else if (UserSwitch::isRoot())
        check.add(SetupCheck::Mark::Note, QStringLiteral("checks run as root, who can read and write where the "
                                                         "register's user cannot: use --user NAME"));
    check.checkIniFile(iniFilePath());
    Config settings;
    if (settings.loadFile(QLatin1String(PluginIniPath))) {
        check.checkSettings(settings);
        JournalCheck::run(&check, JournalReport::journalPath(), QFileInfo(iniFilePath()).group());
    } else {
        check.skip(QStringLiteral("settings: the configuration store cannot read the ini file"));
        check.skip(QStringLiteral("journal: not checked, its path is a setting"));
    }

    PluginLocator locator;
    PluginHost host;
    const bool located = locator.locate(m_invocation.pluginPath, executableDir);
    const bool loaded = located && host.load(locator.path());
    check.checkPlugin(loaded, !located ? locator.errorString()
                                       : loaded ? locator.path() : host.errorString());
    if (loaded) {
        BasicPaymentProcessing &processing = *host.processing();
        LogWatcher::resetCounts();
        processing.init();
        // Not read-only: the plug-in settles its journal at start.
        if (LogWatcher::requests() > 0)
            check.add(SetupCheck::Mark::Note,
                      QStringLiteral("the plug-in's init() sent %1 request(s) to the service to settle its "
                                     "journal's open entries")
                          .arg(LogWatcher::requests()));
        LogWatcher::resetCounts();
        const PaymentProcessingAnswer answer = processing.testConnection();
        check.checkConnection(answer, LogWatcher::connectionFailure());
    } else {
        check.skip(QStringLiteral("connection: not tested, the plug-in did not load"));
    }

    if (m_invocation.json)
        printJson(check.toJson());
    else
        print(check.toText());
    return check.passed() ? ExitSuccess : ExitFailed;
}

// The file the plug-in reads: the one given, or the one under the root.
QString CommandRunner::iniFilePath() const
{
    if (!m_invocation.iniFile.isEmpty())
        return m_invocation.iniFile;
    // Resolved here, not by the store: a register's configuration library has
    // none of our test hooks, and the installed tool links only its services.
    const QString root = qEnvironmentVariable(ConfigRootVariable);
    if (root.isEmpty())
        return QLatin1String(PluginIniPath);
    return QDir::cleanPath(root + QLatin1String(PluginIniPath));
}

bool CommandRunner::readTokenFromStdin()
{
    QTextStream in(stdin);
    in.setCodec("UTF-8");
    m_invocation.token = in.readLine().trimmed();
    return !m_invocation.token.isEmpty();
}

int CommandRunner::runJournal()
{
    const JournalCommand command(m_invocation);
    return finish(m_invocation.journalAction == Invocation::JournalAction::Resolve
                      ? command.resolve()
                      : command.list(QDateTime::currentSecsSinceEpoch()));
}

// init() has settled what it could: every open entry is due at start, within
// its bound of exchanges. What is left shows in the listing that follows.
int CommandRunner::runJournalRetry()
{
    const int requests = LogWatcher::requests();
    print(m_invocation.json ? QString()
                            : QStringLiteral("retry: the plug-in's init() sent %1 request(s) to settle the journal\n")
                                  .arg(requests));
    return finish(JournalCommand(m_invocation).list(QDateTime::currentSecsSinceEpoch()));
}

int CommandRunner::finish(const JournalCommand::Result &result) const
{
    print(result.output);
    if (!result.error.isEmpty())
        Console::writeLine(QStringLiteral("vesanu-host: %1").arg(result.error));
    return result.exitCode;
}

bool CommandRunner::showProgress() const
{
    return m_invocation.progress || isatty(fileno(stderr));
}

int CommandRunner::usageError(const QString &error) const
{
    Console::writeLine(QStringLiteral("vesanu-host: %1").arg(error));
    return ExitUsage;
}

int CommandRunner::settingsError(const QString &error) const
{
    Console::writeLine(QStringLiteral("vesanu-host: %1").arg(error));
    return ExitSettings;
}

void CommandRunner::printJson(const QJsonObject &object) const
{
    print(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)) + QLatin1Char('\n'));
}

void CommandRunner::print(const QString &text) const
{
    QTextStream out(stdout);
    out.setCodec("UTF-8");
    out << text;
    out.flush();
}

} // namespace vesanuhost

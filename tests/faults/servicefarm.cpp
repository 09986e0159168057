#include "servicefarm.h"

#include <QFile>
#include <QTcpServer>

namespace {

const char kCaFileVariable[] = "VELTA_NETWORK_CA_FILE";

// A port that was free a moment ago and that nothing listens on now.
quint16 closedPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        return 0;
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

} // namespace

ServiceFarm::ServiceFarm(const QString &directory)
    : m_certificates(directory)
{
    qputenv(kCaFileVariable, QFile::encodeName(m_certificates.caFile()));
}

ServiceFarm::~ServiceFarm()
{
    qunsetenv(kCaFileVariable);
}

QUrl ServiceFarm::baseUrl(Target target)
{
    if (target == Target::Refused) {
        if (m_refusedPort == 0)
            m_refusedPort = closedPort();
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_refusedPort));
    }
    if (RawServer *server = rawServer(target))
        return server->isListening() ? server->baseUrl() : QUrl();
    SimulatorProcess *process = simulator(target);
    return process ? process->baseUrl() : QUrl();
}

SimulatorProcess *ServiceFarm::simulator(Target target)
{
    if (!isSimulator(target))
        return nullptr;
    std::unique_ptr<SimulatorProcess> &process = m_simulators[target];
    if (!process) {
        process = std::make_unique<SimulatorProcess>();
        if (!process->start(simulatorArguments(target)))
            m_error = process->errorString();
    }
    return process->isRunning() ? process.get() : nullptr;
}

RawServer *ServiceFarm::rawServer(Target target)
{
    if (target != Target::BareSilent && target != Target::BareHuge)
        return nullptr;
    std::unique_ptr<RawServer> &server = m_rawServers[target];
    if (!server) {
        server = std::make_unique<RawServer>(target == Target::BareSilent
                ? RawServer::Behaviour::Silent
                : RawServer::Behaviour::HugeChunked);
    }
    return server.get();
}

// Not quiet: the request log shows whether a request reached the simulator.
QStringList ServiceFarm::simulatorArguments(Target target) const
{
    QStringList arguments { "--branch", Branch, "--cashbox", Cashbox, "--secret", Secret };
    const auto serve = [&](TestCertificates::Server server) {
        arguments << "--cert" << m_certificates.certificateFile(server) << "--key"
                  << m_certificates.keyFile(server);
    };
    const auto clock = [&](int offset) {
        arguments << "--skew" << QString::number(SkewSeconds) << "--clock-offset"
                  << QString::number(offset);
    };
    switch (target) {
    case Target::Https:
        serve(TestCertificates::Good);
        break;
    case Target::WrongHost:
        serve(TestCertificates::WrongHost);
        break;
    case Target::Expired:
        serve(TestCertificates::Expired);
        break;
    case Target::Untrusted:
        serve(TestCertificates::Untrusted);
        break;
    case Target::ClockAhead:
        clock(ClockOffsetSeconds);
        break;
    case Target::ClockBehind:
        clock(-ClockOffsetSeconds);
        break;
    case Target::ClockNear:
        clock(NearClockOffsetSeconds);
        break;
    default:
        break;
    }
    return arguments;
}

bool ServiceFarm::isSimulator(Target target)
{
    switch (target) {
    case Target::Refused:
    case Target::BareSilent:
    case Target::BareHuge:
        return false;
    default:
        return true;
    }
}

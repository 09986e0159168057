#pragma once

#include "faultcase.h"
#include "rawserver.h"
#include "simulatorprocess.h"
#include "support/testcertificates.h"

#include <QString>
#include <QUrl>
#include <map>
#include <memory>

// Everything a fault scenario can point the plug-in at, each started on
// loopback the first time a scenario needs it and stopped, by its own
// process or thread, when the farm goes.
class ServiceFarm
{
public:
    static constexpr const char *Branch = "BR-42";
    static constexpr const char *Cashbox = "CB-7";
    static constexpr const char *Secret = "s,e;c#r%e=t";
    // How far the simulator's clock is moved for the clock scenarios, and
    // the distance it allows.
    static constexpr int ClockOffsetSeconds = 600;
    static constexpr int NearClockOffsetSeconds = 3;
    static constexpr int SkewSeconds = 5;

    // Certificates go into `directory`; the client is told to trust their authority.
    explicit ServiceFarm(const QString &directory);
    ~ServiceFarm();

    bool isValid() const { return m_certificates.isValid(); }
    // The "VesaNu:host" for the target; empty when it could not be started.
    QUrl baseUrl(Target target);
    // The simulator behind the target, or null when no simulator serves it.
    SimulatorProcess *simulator(Target target);
    RawServer *rawServer(Target target);
    QString errorString() const { return m_error; }

private:
    QStringList simulatorArguments(Target target) const;
    static bool isSimulator(Target target);

    TestCertificates m_certificates;
    std::map<Target, std::unique_ptr<SimulatorProcess>> m_simulators;
    std::map<Target, std::unique_ptr<RawServer>> m_rawServers;
    quint16 m_refusedPort = 0;
    QString m_error;
};

#pragma once

#include "simulatorprocess.h"
#include "support/testcertificates.h"

#include <QTemporaryDir>
#include <QUrl>

// The service simulator on loopback, over HTTP or over HTTPS with a test
// authority, with the credentials the benchmarks sign their requests with.
class BenchService
{
public:
    enum Transport { Http, Https };

    static constexpr const char *Branch = "BENCH-BR-1";
    static constexpr const char *Cashbox = "BENCH-CB-1";
    static constexpr const char *Secret = "bench-secret-key";

    explicit BenchService(Transport transport);

    // Starts the simulator; with logRequests its request log is kept.
    bool start(bool logRequests = false);
    QString errorString() const { return m_error; }

    Transport transport() const { return m_transport; }
    QString transportName() const;
    QUrl baseUrl() const { return m_process.baseUrl(); }
    QUrl paymentUrl() const;
    // The authority that signed the HTTPS server's certificate.
    QString caFile() const { return m_certificates.caFile(); }
    SimulatorProcess &process() { return m_process; }

private:
    Transport m_transport;
    QTemporaryDir m_directory;
    TestCertificates m_certificates;
    SimulatorProcess m_process;
    QString m_error;
};

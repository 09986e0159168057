#pragma once

#include <QByteArray>
#include <QString>
#include <QUrl>

// Makes the plug-in's payment POST with the curl program: the same signed
// headers and body shape, a new process and so a new connection each time.
class CurlRunner
{
public:
    struct Outcome
    {
        bool paid = false;
        // From just before the process starts until it has been reaped.
        double wallMs = 0;
        // curl's own time_total: connection to last byte, no process start.
        double curlTotalMs = 0;
        QString problem;
    };

    // caFile: the authority to trust for HTTPS; empty for HTTP.
    CurlRunner(const QUrl &paymentUrl, const QString &caFile);

    Outcome pay(const QString &token, int amount = 12345) const;

private:
    QByteArray config(const QString &token, int amount) const;
    static Outcome parse(const QByteArray &output);

    QUrl m_url;
    QString m_caFile;
};

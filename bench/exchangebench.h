#pragma once

#include "samples.h"

#include <QString>
#include <QStringList>

class BenchService;
class CurlRunner;
class PluginSession;
class Report;

// One payment paid at once, through the loaded plug-in in this process,
// against the same signed POST made by curl in a new process, interleaved.
class ExchangeBench
{
public:
    ExchangeBench(BenchService &service, int rounds);

    bool run();
    void addTo(Report &report) const;
    QString errorString() const { return m_error; }

private:
    void measurePlugin(const PluginSession &session);
    void measureCurl(const CurlRunner &curl);
    double ratio() const;
    double ratioToCurlClock() const;
    QStringList details() const;
    QString trustNote() const;
    static QString row(const QString &side, const Samples &samples);

    BenchService &m_service;
    const int m_rounds;
    Samples m_plugin;
    Samples m_curlWall;
    Samples m_curlTotal;
    double m_coldPluginMs = 0;
    QString m_error;
};

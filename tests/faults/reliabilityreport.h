#pragma once

#include "scenariorow.h"

#include <QList>
#include <QString>
#include <QStringList>

// The reliability table: the rows each fault test saved when it ended,
// gathered, counted and written out as Markdown.
class ReliabilityReport
{
public:
    // Reads the saved rows of these tests ("Suite.Name"); a test whose rows
    // are missing, unreadable or older than this executable is a problem.
    explicit ReliabilityReport(const QStringList &groups);

    QStringList problems() const { return m_problems; }
    const QList<ScenarioRow> &rows() const { return m_rows; }
    int falseSuccesses() const;
    int limbos() const;
    // Payments the service completed after refusing the plug-in's void.
    int knownLimits() const;

    QString markdown() const;
    // Leaves the file alone when its text would not change.
    bool writeTo(const QString &path) const;

    // Saves one test's rows, replacing those of an earlier run.
    static bool save(const QString &group, const QList<ScenarioRow> &rows);

private:
    static QString fileOf(const QString &group);
    void read(const QString &group);
    QString table() const;
    QString timeOf(const QString &name) const;

    QList<ScenarioRow> m_rows;
    QStringList m_problems;
};

#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

// The benchmark's findings, written out as the Markdown page the project
// keeps about performance.
class Report
{
public:
    enum class Verdict { Met, Missed, Informational };

    void addResult(
        const QString &benchmark, const QString &measured, const QString &target, Verdict verdict);
    // A titled block of detail lines (Markdown) that backs up the results.
    void addSection(const QString &title, const QStringList &lines);
    void setMachine(const QStringList &lines) { m_machine = lines; }
    void setCommand(const QString &command) { m_command = command; }
    void setDuration(double seconds) { m_seconds = seconds; }

    QString markdown() const;
    bool allTargetsMet() const;

private:
    struct Result
    {
        QString benchmark;
        QString measured;
        QString target;
        Verdict verdict;
    };
    struct Section
    {
        QString title;
        QStringList lines;
    };

    static QString verdictText(Verdict verdict);
    QString resultsTable() const;

    QVector<Result> m_results;
    QVector<Section> m_sections;
    QStringList m_machine;
    QString m_command;
    double m_seconds = 0;
};

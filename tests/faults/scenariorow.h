#pragma once

#include <QJsonObject>
#include <QString>

// One line of the reliability table: a scenario, what the host was told and
// what the service's books say, and whether the two disagree in one of the
// two ways that cost money.
struct ScenarioRow
{
    int sectionOrder = 0;
    QString section;
    QString name;
    QString done;
    QString expected;
    QString observed;
    QString ledger;
    // The host was told success; the service did not complete the operation.
    bool falseSuccess = false;
    // The service completed a payment or reversal; the host was told it failed.
    bool limbo = false;
    // Fiscal data the service kept while the host was told otherwise: the
    // host keeps the message and sends it again, which costs nothing.
    bool resent = false;
    // The answer is not the one expected, though the books agree with it.
    bool unexpected = false;
    // A payment in limbo because the service refused the plug-in's reversal
    // of it and completed it afterwards: the service's to close.
    bool serviceKept = false;

    QString verdict() const;
    QJsonObject toJson() const;
    static ScenarioRow fromJson(const QJsonObject &json);
};

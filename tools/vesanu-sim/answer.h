#pragma once

#include "scenario.h"

#include <QJsonObject>
#include <vector>

namespace sim {

// What the service decided to answer, before any fault mangles it.
struct Answer
{
    int httpStatus = 200;
    QJsonObject body;
    std::vector<Scenario::Fault> faults;
    QString detail; // for the log line only: never a secret, never a whole token

    static Answer of(const QJsonObject &body, std::vector<Scenario::Fault> faults = {});
    static Answer refusal(int errorCode, const QString &note, int httpStatus = 200);
    int errorCode() const;
    QString errorNote() const;
};

} // namespace sim

#include "answer.h"

#include "simconstants.h"

namespace sim {

Answer Answer::of(const QJsonObject &body, std::vector<Scenario::Fault> faults)
{
    Answer answer;
    answer.body = body;
    answer.faults = std::move(faults);
    return answer;
}

Answer Answer::refusal(int errorCode, const QString &note, int httpStatus)
{
    Answer answer;
    answer.httpStatus = httpStatus;
    answer.body.insert(QLatin1String(key::ErrorCode), errorCode);
    answer.body.insert(QLatin1String(key::ErrorNote), note);
    return answer;
}

int Answer::errorCode() const
{
    return body.value(QLatin1String(key::ErrorCode)).toInt();
}

QString Answer::errorNote() const
{
    return body.value(QLatin1String(key::ErrorNote)).toString();
}

} // namespace sim

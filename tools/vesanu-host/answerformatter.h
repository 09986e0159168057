#pragma once

#include <QJsonObject>
#include <QString>

class PaymentProcessingAnswer;

namespace vesanuhost {

// What the tool prints for a processing answer: for people, or one JSON
// object for scripts, with the same fields.
class AnswerFormatter
{
public:
    static QJsonObject toJson(const PaymentProcessingAnswer &answer, int statusQueries);
    static QString toText(const PaymentProcessingAnswer &answer, int statusQueries);
    // Values as a person reads them: 123, "text", {"nested": ...}.
    static QString describe(const QJsonValue &value);
};

} // namespace vesanuhost

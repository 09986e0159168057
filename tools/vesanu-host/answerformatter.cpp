#include "answerformatter.h"

#include "hostconstants.h"

#include "contract/paymentprocessinganswer.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QStringList>

namespace vesanuhost {

namespace {

QString row(const QString &label, const QString &value)
{
    return QStringLiteral("%1 %2\n").arg(label + QLatin1Char(':'), -17).arg(value);
}

QString messageText(const tr::Tr &message)
{
    if (message.isEmpty())
        return QStringLiteral("(none)");
    return QStringLiteral("%1 \"%2\"").arg(message.key(), message.ui());
}

QString infoText(const QVariantMap &info)
{
    QStringList entries;
    const QJsonObject values = QJsonObject::fromVariantMap(info);
    for (auto it = values.begin(); it != values.end(); ++it)
        entries << it.key() + QLatin1Char('=') + AnswerFormatter::describe(it.value());
    return entries.isEmpty() ? QStringLiteral("(none)") : entries.join(QStringLiteral(", "));
}

QString orNone(const QString &text)
{
    return text.isEmpty() ? QStringLiteral("(none)") : text;
}

} // namespace

QJsonObject AnswerFormatter::toJson(const PaymentProcessingAnswer &answer, int statusQueries)
{
    const tr::Tr message = answer.getMessage();
    return QJsonObject{
        {QLatin1String(json::Success), answer.isSuccess()},
        {QLatin1String(json::Code), answer.getCode()},
        {QLatin1String(json::Message),
         QJsonObject{{QLatin1String(json::Key), message.key()}, {QLatin1String(json::Text), message.ui()}}},
        {QLatin1String(json::Rrn), answer.getRRN()},
        {QLatin1String(json::TerminalId), answer.getTerminalId()},
        {QLatin1String(json::AdditionalInfo), QJsonObject::fromVariantMap(answer.getAdditionalInfo())},
        {QLatin1String(json::AdditionalData), answer.getAdditionalData()},
        {QLatin1String(json::StatusQueries), statusQueries},
    };
}

QString AnswerFormatter::toText(const PaymentProcessingAnswer &answer, int statusQueries)
{
    return row(QStringLiteral("success"), answer.isSuccess() ? QStringLiteral("yes") : QStringLiteral("no"))
        + row(QStringLiteral("code"), QString::number(answer.getCode()))
        + row(QStringLiteral("message"), messageText(answer.getMessage()))
        + row(QStringLiteral("rrn"), orNone(answer.getRRN()))
        + row(QStringLiteral("terminal id"), orNone(answer.getTerminalId()))
        + row(QStringLiteral("additional info"), infoText(answer.getAdditionalInfo()))
        + row(QStringLiteral("additional data"), orNone(answer.getAdditionalData()))
        + row(QStringLiteral("status queries"), QString::number(statusQueries));
}

QString AnswerFormatter::describe(const QJsonValue &value)
{
    if (value.isString())
        return QLatin1Char('"') + value.toString() + QLatin1Char('"');
    if (value.isObject())
        return QString::fromUtf8(QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact));
    if (value.isArray())
        return QString::fromUtf8(QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact));
    if (value.isBool())
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 15);
    return QStringLiteral("null");
}

} // namespace vesanuhost

#include "scenariorow.h"

namespace {

const char kSectionOrder[] = "sectionOrder";
const char kSection[] = "section";
const char kName[] = "name";
const char kDone[] = "done";
const char kExpected[] = "expected";
const char kObserved[] = "observed";
const char kLedger[] = "ledger";
const char kFalseSuccess[] = "falseSuccess";
const char kLimbo[] = "limbo";
const char kResent[] = "resent";
const char kUnexpected[] = "unexpected";
const char kServiceKept[] = "serviceKept";

QString text(const QJsonObject &json, const char *key)
{
    return json.value(QLatin1String(key)).toString();
}

bool flag(const QJsonObject &json, const char *key)
{
    return json.value(QLatin1String(key)).toBool();
}

} // namespace

QString ScenarioRow::verdict() const
{
    if (falseSuccess)
        return QStringLiteral("**false success**");
    if (limbo)
        return QStringLiteral("**money in limbo**");
    if (serviceKept)
        return QStringLiteral("known limit: the service refused the void, then completed it");
    if (unexpected)
        return QStringLiteral("agrees, but not the answer expected");
    return resent ? QStringLiteral("agrees; the host sends it again") : QStringLiteral("agrees");
}

QJsonObject ScenarioRow::toJson() const
{
    return {
        { QLatin1String(kSectionOrder), sectionOrder },
        { QLatin1String(kSection), section },
        { QLatin1String(kName), name },
        { QLatin1String(kDone), done },
        { QLatin1String(kExpected), expected },
        { QLatin1String(kObserved), observed },
        { QLatin1String(kLedger), ledger },
        { QLatin1String(kFalseSuccess), falseSuccess },
        { QLatin1String(kLimbo), limbo },
        { QLatin1String(kResent), resent },
        { QLatin1String(kUnexpected), unexpected },
        { QLatin1String(kServiceKept), serviceKept },
    };
}

ScenarioRow ScenarioRow::fromJson(const QJsonObject &json)
{
    ScenarioRow row;
    row.sectionOrder = json.value(QLatin1String(kSectionOrder)).toInt();
    row.section = text(json, kSection);
    row.name = text(json, kName);
    row.done = text(json, kDone);
    row.expected = text(json, kExpected);
    row.observed = text(json, kObserved);
    row.ledger = text(json, kLedger);
    row.falseSuccess = flag(json, kFalseSuccess);
    row.limbo = flag(json, kLimbo);
    row.resent = flag(json, kResent);
    row.unexpected = flag(json, kUnexpected);
    row.serviceKept = flag(json, kServiceKept);
    return row;
}

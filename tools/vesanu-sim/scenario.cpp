#include "scenario.h"

#include "simconstants.h"

#include <algorithm>
#include <initializer_list>

namespace sim {

namespace {

using Kind = Scenario::FaultKind;

struct KindName
{
    const char *name;
    Kind kind;
};

const KindName kKindNames[] = {
    { fault::Drop, Kind::Drop },
    { fault::Cut, Kind::Cut },
    { fault::NonJson, Kind::NonJson },
    { fault::Http500, Kind::Http500 },
    { fault::Empty, Kind::Empty },
    { fault::Silent, Kind::Silent },
    { fault::Drip, Kind::Drip },
    { fault::Huge, Kind::Huge },
    { fault::BadUtf8, Kind::BadUtf8 },
    { fault::Array, Kind::Array },
    { fault::Nested, Kind::Nested },
    { fault::Error500, Kind::Error500 },
    { fault::NotFound, Kind::NotFound },
    { fault::Proxy404, Kind::Proxy404 },
    { fault::SaysFailed, Kind::SaysFailed },
};

struct OutcomeName
{
    const char *name;
    Scenario::Outcome outcome;
};

const OutcomeName kOutcomeNames[] = {
    { directive::Pending, Scenario::Outcome::Pending },
    { directive::PendingMs, Scenario::Outcome::PendingMs },
    { directive::Declined, Scenario::Outcome::Declined },
    { directive::DeclinedAfter, Scenario::Outcome::DeclinedAfter },
    { directive::Never, Scenario::Outcome::Never },
    { directive::Error, Scenario::Outcome::Error },
    { directive::Flap, Scenario::Outcome::Flap },
};

struct TargetName
{
    const char *name;
    Scenario::Target target;
};

const TargetName kTargetNames[] = {
    { directive::StatusFault, Scenario::Target::Status },
    { directive::ReversalFault, Scenario::Target::Reversal },
    { directive::OfdFault, Scenario::Target::Ofd },
};

bool kindByName(const QString &name, Kind *kind)
{
    for (const KindName &entry : kKindNames) {
        if (name == QLatin1String(entry.name)) {
            *kind = entry.kind;
            return true;
        }
    }
    return false;
}

// Plain decimal digits (a leading '-' only when min < 0) within [min, max].
bool parseNumber(const QString &text, int min, int max, int *value)
{
    const QString digits = text.startsWith(QLatin1Char('-')) && min < 0 ? text.mid(1) : text;
    if (digits.isEmpty() || digits.size() > 10)
        return false;
    for (const QChar c : digits) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    bool ok = false;
    const qint64 number = text.toLongLong(&ok);
    if (!ok || number < min || number > max)
        return false;
    *value = static_cast<int>(number);
    return true;
}

bool isOneOf(const QString &name, std::initializer_list<const char *> names)
{
    return std::any_of(names.begin(), names.end(),
        [&name](const char *known) { return name == QLatin1String(known); });
}

// Directives that need an argument: alone they are a mistake, not token text.
bool needsArgument(const QString &name)
{
    return isOneOf(name,
        { directive::Pending, directive::PendingMs, directive::DeclinedAfter, directive::Error,
            directive::Flap, directive::Phone, directive::Delay, directive::ReversePending,
            directive::ConfirmLate,
            directive::StatusFault, directive::ReversalFault, directive::OfdFault });
}

bool takesNoArgument(const QString &name)
{
    return isOneOf(name, { directive::Declined, directive::Never, directive::ReverseFail });
}

// "reverse-fail@N": the directive with a limit, not token text.
bool isLimitedReverseFail(const QString &part)
{
    return part.section(QLatin1Char(directive::LimitSeparator), 0, 0)
        == QLatin1String(directive::ReverseFail);
}

bool fail(QString *error, const QString &reason)
{
    *error = reason;
    return false;
}

// Directive names echoed in a refusal are cut short: they come from the client.
QString shown(const QString &name)
{
    return name.left(24);
}

} // namespace

bool Scenario::parse(const QString &token, Scenario *scenario, QString *error)
{
    Scenario result;
    const QStringList parts = token.split(QLatin1Char(directive::Separator));
    for (const QString &part : parts) {
        if (!result.apply(part, error))
            return false;
    }
    *scenario = result;
    return true;
}

QString Scenario::faultKindName(FaultKind kind)
{
    if (kind == Kind::Delay)
        return QLatin1String(directive::Delay);
    for (const KindName &entry : kKindNames) {
        if (entry.kind == kind)
            return QLatin1String(entry.name);
    }
    return QString();
}

bool Scenario::apply(const QString &part, QString *error)
{
    const int colon = part.indexOf(QLatin1Char(directive::ArgumentSeparator));
    const QString name = colon < 0 ? part : part.left(colon);
    const QString argument = colon < 0 ? QString() : part.mid(colon + 1);
    Kind kind;
    if (colon < 0 && !takesNoArgument(name) && !isLimitedReverseFail(part)
        && !kindByName(part.section(QLatin1Char(directive::LimitSeparator), 0, 0), &kind)) {
        if (needsArgument(name))
            return fail(error, name + QStringLiteral(" needs an argument"));
        return true; // plain token text
    }
    if (!applyDirective(part, name, argument, error))
        return false;
    m_directives << part;
    return true;
}

bool Scenario::applyDirective(
    const QString &part, const QString &name, const QString &argument, QString *error)
{
    for (const OutcomeName &entry : kOutcomeNames) {
        if (name == QLatin1String(entry.name))
            return applyOutcome(entry.outcome, argument, error);
    }
    for (const TargetName &entry : kTargetNames) {
        if (name == QLatin1String(entry.name))
            return addFault(entry.target, argument, error);
    }
    if (isLimitedReverseFail(name) || name == QLatin1String(directive::ReversePending))
        return applyReversal(name, argument, error);
    if (name == QLatin1String(directive::Phone))
        return applyPhone(argument, error);
    if (name == QLatin1String(directive::ConfirmLate))
        return applyConfirmLate(argument, error);
    Kind kind;
    // "delay:MS" and bare fault kinds ("drop", "drop@1") are payment faults.
    if (name == QLatin1String(directive::Delay)
        || (argument.isNull()
            && kindByName(part.section(QLatin1Char(directive::LimitSeparator), 0, 0), &kind)))
        return addFault(Target::Payment, part, error);
    return fail(error, QStringLiteral("unknown directive ") + shown(name));
}

bool Scenario::applyOutcome(Outcome outcome, const QString &argument, QString *error)
{
    if (m_outcomeSet)
        return fail(error, QStringLiteral("more than one outcome directive"));
    m_outcomeSet = true;
    m_outcome = outcome;
    if (outcome == Outcome::Declined || outcome == Outcome::Never) {
        if (!argument.isNull())
            return fail(error, QStringLiteral("declined and never take no argument"));
        return true;
    }
    switch (outcome) {
    case Outcome::Pending:
    case Outcome::DeclinedAfter:
    case Outcome::Flap:
        if (!parseNumber(argument, 0, limit::MaxCount, &m_outcomeArgument))
            return fail(error, QStringLiteral("bad query count"));
        return true;
    case Outcome::PendingMs:
        if (!parseNumber(argument, 0, limit::MaxPendingMs, &m_outcomeArgument))
            return fail(error, QStringLiteral("bad duration"));
        return true;
    case Outcome::Error:
        if (!parseNumber(argument, -limit::MaxErrorCode, limit::MaxErrorCode, &m_outcomeArgument)
            || m_outcomeArgument == 0)
            return fail(error, QStringLiteral("bad error code"));
        return true;
    default:
        return true;
    }
}

bool Scenario::applyReversal(const QString &name, const QString &argument, QString *error)
{
    if (isLimitedReverseFail(name)) {
        if (!argument.isNull())
            return fail(error, name + QStringLiteral(" takes no argument"));
        const int at = name.indexOf(QLatin1Char(directive::LimitSeparator));
        if (at >= 0 && !parseNumber(name.mid(at + 1), 1, limit::MaxCount, &m_reverseFailLimit))
            return fail(error, QStringLiteral("bad reverse-fail limit"));
        m_reverseFails = true;
        return true;
    }
    if (m_reversePendingSet || !parseNumber(argument, 0, limit::MaxCount, &m_reversePending))
        return fail(error, QStringLiteral("bad or repeated reverse-pending"));
    m_reversePendingSet = true;
    return true;
}

bool Scenario::applyPhone(const QString &argument, QString *error)
{
    const bool allDigits = !argument.isEmpty() && argument.size() <= limit::MaxPhoneDigits
        && std::all_of(argument.begin(), argument.end(),
            [](QChar c) { return c.isDigit() && c.unicode() < 128; });
    if (!m_phone.isEmpty() || !allDigits)
        return fail(error, QStringLiteral("bad or repeated phone"));
    m_phone = argument;
    return true;
}

bool Scenario::applyConfirmLate(const QString &argument, QString *error)
{
    if (m_confirmLateMs >= 0 || !parseNumber(argument, 0, limit::MaxPendingMs, &m_confirmLateMs))
        return fail(error, QStringLiteral("bad or repeated confirm-late"));
    return true;
}

bool Scenario::addFault(Target target, const QString &faultText, QString *error)
{
    Fault fault;
    const int at = faultText.lastIndexOf(QLatin1Char(directive::LimitSeparator));
    const QString base = at < 0 ? faultText : faultText.left(at);
    if (at >= 0 && !parseNumber(faultText.mid(at + 1), 1, limit::MaxCount, &fault.limit))
        return fail(error, QStringLiteral("bad fault limit"));
    const QString delayPrefix
        = QLatin1String(directive::Delay) + QLatin1Char(directive::ArgumentSeparator);
    if (base.startsWith(delayPrefix)) {
        fault.kind = Kind::Delay;
        if (!parseNumber(base.mid(delayPrefix.size()), 0, limit::MaxDelayMs, &fault.delayMs))
            return fail(error, QStringLiteral("bad delay"));
    } else if (!kindByName(base, &fault.kind)) {
        return fail(error, QStringLiteral("unknown fault ") + shown(base));
    }
    std::vector<Fault> &faults = m_faults[static_cast<size_t>(target)];
    for (const Fault &other : faults) {
        if ((other.kind == Kind::Delay) == (fault.kind == Kind::Delay))
            return fail(error, QStringLiteral("two faults of one sort for the same answers"));
    }
    faults.push_back(fault);
    return true;
}

std::vector<Scenario::Fault> Scenario::faultsFor(Target target, int answerNumber) const
{
    std::vector<Fault> chosen;
    for (const Fault &fault : m_faults[static_cast<size_t>(target)]) {
        if (fault.limit == 0 || answerNumber <= fault.limit)
            chosen.push_back(fault);
    }
    // The delay comes first, then the answer it delays.
    std::stable_sort(chosen.begin(), chosen.end(), [](const Fault &a, const Fault &b) {
        return a.kind == Kind::Delay && b.kind != Kind::Delay;
    });
    return chosen;
}

} // namespace sim

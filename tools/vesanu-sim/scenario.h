#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace sim {

// What a payment's one-time token asks the simulator to do: its outcome,
// its reversal, its payer's phone and the faults of its answers.
// The grammar is in README.md and in --help.
class Scenario
{
public:
    enum class Outcome { Paid, Pending, PendingMs, Declined, DeclinedAfter, Never, Error, Flap };
    // Which answers a fault applies to.
    enum class Target { Payment, Status, Reversal, Ofd };
    enum class FaultKind {
        Delay,
        Drop,
        Cut,
        NonJson,
        Http500,
        Empty,
        Silent,
        Drip,
        Huge,
        BadUtf8,
        Array,
        Nested,
        Error500,
        NotFound,
        Proxy404,
        SaysFailed
    };
    struct Fault
    {
        FaultKind kind = FaultKind::Delay;
        int delayMs = 0;
        int limit = 0; // applies to the first `limit` answers; 0 = to every answer
    };

    // Parses a token; false with a reason when a directive is malformed or
    // contradicts another one. Parts that are no directive are ignored.
    static bool parse(const QString &token, Scenario *scenario, QString *error);
    static QString faultKindName(FaultKind kind);

    Outcome outcome() const { return m_outcome; }
    // N, MS or CODE of the outcome directive; 0 when it has none.
    int outcomeArgument() const { return m_outcomeArgument; }
    // Status queries a reversal stays pending for; 0 = reversed at once.
    int reversePending() const { return m_reversePending; }
    bool reverseFails() const { return m_reverseFails; }
    // Whether the reversalNumber-th reversal request (from 1) fails:
    // "reverse-fail" fails every one, "reverse-fail@N" the first N.
    bool reverseFailsAt(int reversalNumber) const
    {
        return m_reverseFails && (m_reverseFailLimit == 0 || reversalNumber <= m_reverseFailLimit);
    }
    // A pending payment turns paid this long after it was made, unless it was
    // reversed first; -1 when the token does not say so.
    int confirmLateMs() const { return m_confirmLateMs; }
    // Empty when the token names no phone.
    QString phone() const { return m_phone; }
    // The faults for the answerNumber-th answer (counted from 1) of a target.
    std::vector<Fault> faultsFor(Target target, int answerNumber) const;
    // The directives of the token, joined as written; no plain token text.
    QString text() const { return m_directives.join(QLatin1Char('+')); }

private:
    bool apply(const QString &part, QString *error);
    bool applyDirective(
        const QString &part, const QString &name, const QString &argument, QString *error);
    bool applyOutcome(Outcome outcome, const QString &argument, QString *error);
    bool applyReversal(const QString &name, const QString &argument, QString *error);
    bool applyPhone(const QString &argument, QString *error);
    bool applyConfirmLate(const QString &argument, QString *error);
    bool addFault(Target target, const QString &faultText, QString *error);

    Outcome m_outcome = Outcome::Paid;
    bool m_outcomeSet = false;
    int m_outcomeArgument = 0;
    int m_reversePending = 0;
    bool m_reversePendingSet = false;
    bool m_reverseFails = false;
    int m_reverseFailLimit = 0;
    int m_confirmLateMs = -1;
    QString m_phone;
    std::array<std::vector<Fault>, 4> m_faults;
    QStringList m_directives;
};

} // namespace sim

#pragma once

// The payment journal's vocabulary: its log lines, in the house form (fixed
// Russian text, one "%1"), and the reasons it keeps for people.

namespace vesanu {
namespace journal {

inline const char *const LogJournalUnavailable = "Журнал платежей недоступен: %1";
inline const char *const LogJournalRewritten = "Журнал: запись платежа %1 повторена после сбоя записи";
inline const char *const LogJournalDisagrees =
    "Журнал не подтвердил запись платежа %1, оплаты не принимаются";
inline const char *const LogPartialRefund = "Частичный возврат отклонен, сумма не равна сумме платежа: %1";
inline const char *const LogRecoveryAsk = "Журнал: запрос статуса незавершенного платежа %1";
inline const char *const LogRecoveryClosed = "Журнал: платеж %1 не проведен сервисом, запись закрыта";
inline const char *const LogRecoveryVoided = "Журнал: платеж %1 отменен";
inline const char *const LogRecoveryVoidRefused = "Журнал: отмена платежа %1 не подтверждена, повтор позже";
inline const char *const LogRecoveryUnreachable = "Журнал: сервис недоступен, платеж %1 будет запрошен позже";
inline const char *const LogRecoveryAbandoned =
    "Журнал: платеж %1 не урегулирован за отведенный срок, требуется сверка с сервисом";

// Why the journal cannot be trusted, after its path (English, as SQLite's own words are).
inline const char *const ReasonMoved = "the journal file was moved, removed or replaced while open";
inline const char *const ReasonUnconfirmed = "a write failed and could not be confirmed: %1";

// The last reason of an entry, for support.
inline const char *const NoteNeverSent = "never sent";
inline const char *const NoteUnreachable = "service unreachable";
inline const char *const NoteVoidUnconfirmed = "void not confirmed";
inline const char *const NoteGivenUp = "given up after its retry age: reconcile with the service";

} // namespace journal
} // namespace vesanu

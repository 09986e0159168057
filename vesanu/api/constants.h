#pragma once

#include <QLatin1String>
#include <QtGlobal>

#include <limits>

// The vocabulary the API client shares with the service, the configuration
// and the people reading its logs, in one place.
namespace vesanu {
namespace api {

// Settings, read from the host's configuration store.
inline const char *const SettingTimeout = "VesaNu:timeout";
inline const char *const SettingPayDuration = "VesaNu:payDuration";
inline const char *const SettingStatusRequestInterval = "VesaNu:statusRequestInterval";
inline const char *const SettingCashboxCode = "VesaNu:cashboxCode";
inline const char *const SettingBranchId = "VesaNu:branchId";
inline const char *const SettingSecretKey = "VesaNu:secretKey";
inline const char *const SettingHost = "VesaNu:host";
inline const char *const SettingPath = "VesaNu:path";
inline const char *const SettingJournal = "VesaNu:journal";
inline const char *const SettingJournalRetryDays = "VesaNu:journalRetryDays";
inline const char *const SettingJournalKeepDays = "VesaNu:journalKeepDays";

// Defaults, in the setting's own unit (seconds for durations).
constexpr int DefaultTimeoutSeconds = 10;
constexpr int DefaultPayDurationSeconds = 300;
constexpr int DefaultStatusRequestIntervalSeconds = 10;
inline const char *const DefaultHost = "https://api.vesanu.kz:443";
inline const char *const DefaultPath = "/api/v1";
// The payment journal: the package makes its folder, root:VESANU_CONFIG_GROUP 2770.
inline const char *const DefaultJournal = "/var/lib/velta-paysystem-vesanu/journal.sqlite";
// An open entry is asked about for this long, then left to people.
constexpr int DefaultJournalRetryDays = 7;
constexpr qint64 SecondsPerDay = 24 * 60 * 60;
// How long settled entries are kept: a refund's amount is checked against them.
constexpr int DefaultJournalKeepDays = 35;
// Exchanges a recovery may spend: at start, where the host waits for
// init(), and before a new payment, where the cashier waits.
constexpr int RecoveryExchangesAtStart = 3;
constexpr int RecoveryExchangesBeforePayment = 2;

// Addresses after the base address.
inline const char *const PathPayment = "/payment";
inline const char *const PathPaymentStatus = "/payment/status/";
inline const char *const PathReversal = "/payment/reversal/";
inline const char *const PathOfdData = "/payment/ofd_data/submit_qrcode";

// The host client's operation codes, numbered as QNetworkAccessManager::Operation.
constexpr int OperationGet = 2;
constexpr int OperationPost = 4;
constexpr int OperationDelete = 5;

// Request headers.
inline const char *const HeaderAccept = "Accept";
inline const char *const HeaderContentType = "Content-Type";
inline const char *const HeaderAuth = "Auth";
inline const char *const MimeJson = "application/json";
// The connection test's control question is signed with the secret key
// followed by this: no ini value holds a line break, so no register's key is
// ever the one it signs with.
inline const char *const WrongSecretSuffix = "\n";

// JSON members of requests and answers.
inline const char *const JsonAmount = "amount";
inline const char *const JsonOtpData = "otp_data";
inline const char *const JsonCashboxCode = "cashbox_code";
inline const char *const JsonTransactionId = "transaction_id";
inline const char *const JsonQrCode = "qrcode";
inline const char *const JsonErrorCode = "error_code";
inline const char *const JsonErrorNote = "error_note";
inline const char *const JsonPaymentStatus = "payment_status";
inline const char *const JsonPaymentId = "payment_id";
inline const char *const JsonPhoneNumber = "phone_number";

// Values of "payment_status" that mean something on their own.
constexpr int StatusFailed = -1; // final and unsuccessful, whatever the target
constexpr int StatusPaid = 2;
constexpr int StatusReversed = 3;

// An "error_code" that is present but no whole number an int can hold (a
// string, a fraction, 2^32, true) makes the answer unreadable. Its errorCode
// is this value: no service sends it, and nobody can take it for 0.
constexpr int UnreadableErrorCode = std::numeric_limits<int>::min();

// The HTTP status with which the service says it does not know a transaction.
constexpr int HttpNotFound = 404;

// Why an exchange brought nothing, for the log of the connection test.
inline const char *const ReasonClientFailed = "HTTP-клиент не выполнил запрос";
inline const char *const ReasonNoAnswer = "нет ответа";
inline const char *const ReasonRefused = "соединение отклонено";
inline const char *const ReasonHostNotFound = "узел не найден";
inline const char *const ReasonTls = "ошибка TLS";
inline const char *const ReasonTimeout = "истекло время ожидания";
inline const char *const ReasonNetworkError = "сетевая ошибка %1";
inline const char *const ReasonHttpStatus = "HTTP %1";
inline const char *const ReasonUnreadable = "ответ не прочитан";
inline const char *const ReasonAnswered = "ответ без ошибки";

// Messages for the cashier: key and default text.
inline const char *const KeyIncorrectAnswer = "requestIncorrectAnswer";
inline const char *const TextIncorrectAnswer = "Некорректный ответ от сервера";
inline const char *const KeyServiceError = "undefined";
inline const char *const KeyStatusFailed = "requestStatusFailed";
inline const char *const TextStatusFailed = "Операция отклонена сервисом";
inline const char *const KeyStatusTimeout = "requestStatusTimeout";
inline const char *const TextStatusTimeout = "Истекло время ожидания подтверждения операции";
inline const char *const KeyInterrupted = "requestInterrupted";
inline const char *const TextInterrupted =
    "Оплата прервана кассиром и отменена. Деньги не списаны, оплату можно повторить";
inline const char *const KeyConnectionWorks = "requestConnectionWorks";
inline const char *const TextConnectionWorks = "Связь с сервисом установлена";
// Reached, but it answered a wrongly signed question as it answered ours.
inline const char *const KeyConnectionUnproven = "requestConnectionUnproven";
inline const char *const TextConnectionUnproven = "Сервис доступен, но проверить подпись не удалось";
inline const char *const KeyServiceUnreachable = "requestServiceUnreachable";
inline const char *const TextServiceUnreachable = "Сервис недоступен";
inline const char *const KeyHttpError = "requestHttpError";
inline const char *const TextHttpError = "Ошибка сервера (HTTP %1)";
inline const char *const KeyJournalUnavailable = "vesaNuJournalUnavailable";
inline const char *const TextJournalUnavailable =
    "Журнал платежей VesaNu недоступен, оплата не отправлена. Деньги не списаны";
inline const char *const KeyJournalUnrecorded = "vesaNuJournalUnrecorded";
inline const char *const TextJournalUnrecorded =
    "Журнал платежей VesaNu недоступен, оплата отменена";
// What the cashier reads when the money's state asks for its own action.
inline const char *const KeyPaymentNotSent = "vesaNuPaymentNotSent";
inline const char *const TextPaymentNotSent =
    "Оплата не отправлена: нет связи с сервисом VesaNu. Деньги не списаны, оплату можно повторить";
inline const char *const KeyPaymentVoided = "vesaNuPaymentVoided";
inline const char *const TextPaymentVoided =
    "Оплата не подтверждена сервисом и отменена. Деньги не списаны, оплату можно повторить";
inline const char *const KeyPaymentInDoubt = "vesaNuPaymentInDoubt";
inline const char *const TextPaymentInDoubt =
    "Оплата не подтверждена сервисом VesaNu, ее отмена еще не подтверждена. Не принимайте оплату "
    "повторно или другим способом и не выдавайте товар как оплаченный. Касса повторит отмену "
    "сама; если деньги были списаны, они вернутся покупателю. Номер операции: %1 (сообщите его "
    "в поддержку)";
inline const char *const KeyRefundNotSent = "vesaNuRefundNotSent";
inline const char *const TextRefundNotSent =
    "Возврат не отправлен: нет связи с сервисом VesaNu. Деньги не возвращены, возврат можно повторить";
inline const char *const KeyRefundUndecided = "vesaNuRefundUndecided";
inline const char *const TextRefundUndecided =
    "Возврат не подтвержден сервисом VesaNu: деньги могут вернуться покупателю позже. Не "
    "возвращайте деньги другим способом. Повторите возврат позже: дважды деньги не вернутся";
inline const char *const KeySettingsMissing = "vesaNuSettingsMissing";
inline const char *const TextSettingsMissing =
    "Настройки VesaNu не заданы или не прочитаны: операция не отправлена, деньги не списаны и не "
    "возвращены. Обратитесь к специалисту";
inline const char *const KeyRefundAlreadyDone = "vesaNuRefundAlreadyDone";
inline const char *const TextRefundAlreadyDone =
    "Возврат по этой оплате уже был проведен ранее. Повторно деньги не возвращаются";
inline const char *const KeyPartialRefund = "vesaNuPartialRefund";
inline const char *const TextPartialRefund =
    "VesaNu возвращает только всю сумму платежа, частичный возврат невозможен";

// The money's state, as the host reads it in the answer's additional information.
inline const char *const MoneyCharged = "charged";
inline const char *const MoneyNotCharged = "notCharged";
inline const char *const MoneyVoided = "voided";
inline const char *const MoneyInDoubt = "inDoubt";
inline const char *const MoneyRefunded = "refunded";
inline const char *const MoneyAlreadyRefunded = "alreadyRefunded";
inline const char *const MoneyNotRefunded = "notRefunded";
inline const char *const MoneyRefundUndecided = "refundUndecided";

// Log lines.
inline const char *const LogNoData = "Некорректный ответ от сервера (нет данных)";
inline const char *const LogServiceError = "Сервер вернул сообщение об ошибке: %1";
inline const char *const LogHttpError = "Сервер ответил с кодом HTTP %1";
inline const char *const LogNoClient = "Не удалось создать HTTP-клиент";
inline const char *const LogExchangeFailed = "Сбой при обмене с сервером: %1";
inline const char *const LogWaitStatus = "Ожидание статуса '%1'";
inline const char *const LogStatusFailed = "Сервис отклонил операцию";
inline const char *const LogStatusTimeout = "Статус операции не получен за отведенное время";
inline const char *const LogUnknownOutcome = "Результат операции неизвестен, запрос статуса: %1";
inline const char *const LogReversal = "Полный возврат";
inline const char *const LogVoidAccepted = "Сервис принял отмену неподтвержденного платежа: %1";
inline const char *const LogVoidRefused = "Отмена неподтвержденного платежа не подтверждена сервисом: %1";
inline const char *const LogConnectionWorks = "Проверка связи: сервис отвечает, %1";
inline const char *const LogConnectionFailed = "Проверка связи не удалась: %1";
inline const char *const LogConnectionControl =
    "Проверка связи: контрольный запрос с заведомо неверной подписью: %1";
inline const char *const LogConnectionSignatureRefused = "Проверка связи не удалась, подпись отклонена: %1";
inline const char *const LogConnectionUnproven = "Проверка связи: подпись не проверена: %1";
inline const char *const LogPaymentInterrupted = "Оплата прервана кассиром: %1";
inline const char *const LogNotFound = "Сервис не знает операцию: %1";
// The end of every payment, refund and cancel: its transaction id, and where the money is.
inline const char *const LogEndCharged = "Оплата проведена: %1";
inline const char *const LogEndNotCharged = "Оплата не проведена, деньги не списаны: %1";
inline const char *const LogEndVoided = "Оплата отменена, деньги не списаны: %1";
inline const char *const LogEndInDoubt = "Оплата не подтверждена, отмена будет повторена: %1";
inline const char *const LogEndRefunded = "Возврат проведен: %1";
inline const char *const LogEndAlreadyRefunded = "Возврат уже был проведен ранее: %1";
inline const char *const LogEndNotRefunded = "Возврат не проведен: %1";
inline const char *const LogRefundUndecided = "Результат возврата неизвестен: %1";
inline const char *const LogSettingsMissing = "Настройки VesaNu не заданы или не прочитаны: %1";
inline const char *const LogOtherTransaction = "Ответ сервера относится к другой операции: %1";
inline const char *const LogJournalUnrecorded = "Успешный платеж не записан в журнал, отмена: %1";

} // namespace api
} // namespace vesanu

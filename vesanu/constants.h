#pragma once

// The provider object's vocabulary: configuration, dialog texts, log lines
// and the queued-message format, in one place.
namespace vesanu {
namespace constants {

inline const char *const ConfigFile = "/tessaroot/cash/paysystems/vesanu/vesanu.ini";
inline const char *const SettingPaymentProvider = "VesaNu:paymentProvider";
inline const char *const DefaultPaymentProvider = "0187";
inline const char *const LoggerName = "vesanu";

inline const char *const DialogImagePath = ":/vesanu/scan_token.png";
inline const char *const KeyScanTitle = "vesaNuScanTitle";
inline const char *const TextScanTitle = "Ввод токена VesaNu";
inline const char *const KeyScanMessage = "vesaNuScanMessage";
inline const char *const TextScanMessage = "Отсканируйте токен VesaNu";
inline const char *const KeyScanError = "vesaNuScanError";
inline const char *const TextScanError = "Ошибка считывания токена VesaNu,\nповторите сканирование";

// Keys of an answer's additional information.
inline const char *const InfoPhone = "phone";
inline const char *const InfoRrn = "rrn";
inline const char *const InfoValutCode = "valutCode";
inline const char *const InfoPaymentProvider = "paymentProvider";
inline const char *const InfoPaymentId = "paymentId";
// Where the customer's money is: one of the api's Money* names.
inline const char *const InfoMoneyState = "moneyState";

// Queued messages.
inline const char *const MessageType = "messagetype";
inline const char *const MessageTypeOfdData = "sendofddata";
inline const char *const MessagePayload = "payload";
inline const char *const PayloadRrn = "rrn";
inline const char *const PayloadFiscalData = "fiscalData";
inline const char *const FiscalDataQr = "qr";

// Log lines.
inline const char *const LogPayment = "Оплата на сумму %1";
inline const char *const LogRefund = "Возврат на сумму %1";
inline const char *const LogReversal = "Отмена операции: %1";
inline const char *const LogQueuedMessage = "Отправка сообщения из очереди";
inline const char *const LogUnknownMessage = "Неизвестный тип сообщения";
// Before the missing keys in the log line of settings that cannot be used.
inline const char *const ReasonUnreadable = "файл не прочитан, нет ";

// Every VesaNu answer carries this payment method.
constexpr int PaymentMethodVesaNu = 2;
// Request types: 1 pays; any other type that reaches payment() reverses.
constexpr int RequestTypePayment = 1;
constexpr int RequestTypeRefund = 3;
// What the provider object switches on.
constexpr int OptionFlags = 0x4010;
constexpr int ProcessingOption = 5;

} // namespace constants
} // namespace vesanu

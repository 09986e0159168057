#pragma once

// The HTTP client's own vocabulary. Internal to libveltanetwork.

#include <QtGlobal>

namespace veltanetwork {

// Names a PEM file of certificates trusted in addition to the system's.
constexpr char CaFileVariable[] = "VELTA_NETWORK_CA_FILE";
// A certificate bundle is a few kilobytes; this only bounds a wrong file.
constexpr qint64 MaxCaFileSize = 4 * 1024 * 1024;

// Logging category for what has no Log4Qt logger to go to.
constexpr char LogCategory[] = "veltanetwork";

// Used when the time-out given is zero or negative: "no limit" would let a
// silent server hold the caller for ever.
constexpr qint64 DefaultTimeout = 30000;

// Headers the client sets unless the caller gives them.
constexpr char ContentTypeHeader[] = "Content-Type";
constexpr char JsonContentType[] = "application/json";
// An uncompressed answer, so the size limit counts what is really held in
// memory rather than what a compressed body might expand to.
constexpr char AcceptEncodingHeader[] = "Accept-Encoding";
constexpr char IdentityEncoding[] = "identity";

// Log lines (Log4Qt, one "%1" each).
constexpr char RequestLine[] = "HTTP-запрос: %1";
constexpr char AnswerLine[] = "HTTP-ответ: %1";
constexpr char FailureLine[] = "HTTP-запрос не выполнен: %1";
constexpr char CaFileProblemLine[] = "Дополнительные сертификаты не загружены: %1";

// Details that go into those lines.
constexpr char AnswerDetails[] = "статус %1, %2 байт, %3 мс";
constexpr char FailureDetails[] = "%1 (%2 мс)";
constexpr char TimeoutDetails[] = "нет ответа за %1 мс";
constexpr char TooLargeDetails[] = "ответ больше %1 байт";
constexpr char UnsupportedOperationDetails[] = "неизвестная операция %1";
constexpr char BadUrlDetails[] = "недопустимый адрес";
constexpr char BadHeaderDetails[] = "недопустимый заголовок %1";
constexpr char CaFileUnreadable[] = "файл %1 не прочитан: %2";
constexpr char CaFileEmpty[] = "в файле %1 нет сертификатов PEM";

// Messages of a failed exchange: key and default text.
constexpr char TimeoutKey[] = "restClientTimeout";
constexpr char TimeoutText[] = "Сервер не ответил вовремя";
constexpr char TooLargeKey[] = "restClientAnswerTooLarge";
constexpr char TooLargeText[] = "Ответ сервера слишком велик";
constexpr char TlsErrorKey[] = "restClientTlsError";
constexpr char TlsErrorText[] = "Не удалось установить защищённое соединение с сервером";
constexpr char NetworkErrorKey[] = "restClientNetworkError";
constexpr char NetworkErrorText[] = "Ошибка связи с сервером";
constexpr char BadRequestKey[] = "restClientBadRequest";
constexpr char BadRequestText[] = "Запрос к серверу составлен неверно";

} // namespace veltanetwork

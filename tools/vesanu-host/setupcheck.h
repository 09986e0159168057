#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QStringList>

class Config;
class PaymentProcessingAnswer;

namespace vesanuhost {

// What a technician setting up a register wants to know before the first
// real payment: that the ini file can be read and is not open to everybody,
// that its settings are complete and sane, that the plug-in loads, and that
// the service answers and takes the signature. One line a check.
class SetupCheck
{
public:
    // A note is said, not judged: it never fails the check.
    enum class Mark { Ok, Note, Warning, Failed };

    struct Item
    {
        Mark mark;
        QString text;
        QString fix; // what to do about a line that does not hold: one short sentence
    };

    // The ini file as it lies on disk.
    void checkIniFile(const QString &path);
    // The settings as the host's configuration store reads them.
    void checkSettings(Config &config);
    // The required settings that are missing or empty, by their keys.
    static QStringList missingSettings(Config &config);
    void checkPlugin(bool loaded, const QString &detail);
    // `failure`: "address: reason" of the plug-in's log, when it logged one.
    void checkConnection(const PaymentProcessingAnswer &answer, const QString &failure);
    void skip(const QString &text);
    void add(Mark mark, const QString &text, const QString &fix = QString());

    // Every check holds; a warning does not hold.
    bool passed() const;
    QList<Item> items() const { return m_items; }

    QString toText() const;
    QJsonObject toJson() const;

private:
    void checkNumbers(Config &config);
    void checkHost(Config &config);
    static QString connectionFix(const QString &failure);

    QList<Item> m_items;
};

} // namespace vesanuhost

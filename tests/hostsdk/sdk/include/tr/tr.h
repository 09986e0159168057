#pragma once

#include <QString>
#include <QStringList>

namespace tr {

// A user-visible text: a key, its default text and arguments for it.
class Tr
{
public:
    Tr();
    Tr(const QString &key, const QString &defaultText);
    Tr(const Tr &other);
    Tr &operator=(const Tr &other);
    virtual ~Tr();

    virtual QString translated() const;
    bool operator==(const Tr &other) const;

    Tr &arg(const QString &value);
    QString key() const;
    QString text() const;

private:
    QString m_context;
    QStringList m_arguments;
    QString m_key;
    QString m_text;
};

} // namespace tr

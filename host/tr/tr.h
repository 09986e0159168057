#pragma once

#include <QString>

namespace tr {

// A user-visible message: a key that a translation catalogue looks up, and
// the default (Russian) text shown when there is no translation.
class Tr
{
public:
    Tr();
    Tr(const QString &key, const QString &defaultText);
    Tr(const Tr &other);
    Tr &operator=(const Tr &other);
    virtual ~Tr();

    bool operator==(const Tr &other) const;
    bool operator!=(const Tr &other) const { return !(*this == other); }

    QString key() const;
    QString defaultText() const;
    bool isEmpty() const;

    // The text to show: our stand-in has no catalogue, so it is the default text.
    virtual QString ui() const;

private:
    QString m_key;
    QString m_defaultText;
};

} // namespace tr

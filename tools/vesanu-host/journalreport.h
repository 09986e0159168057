#pragma once

#include <QJsonObject>
#include <QString>

namespace vesanuhost {

// The plug-in's payment journal as support needs it: the entries still to be
// settled with the service (every entry not in a final state), read without loading
// the plug-in, so that nothing is sent while looking.
class JournalReport
{
public:
    // Reads the journal named by the plug-in's ini file ("journal"), as found
    // under the configuration root in place; false with errorString() when it
    // cannot be read.
    bool collect(qint64 now);

    QJsonObject toJson() const { return m_report; }
    QString toText() const;
    QString errorString() const { return m_error; }

private:
    QJsonObject m_report;
    QString m_error;
};

} // namespace vesanuhost

#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

// Records every line written through Qt's message system while it lives,
// e.g. the lines of the Log4Qt loggers. Not thread-safe; one at a time.
class LogCapture
{
public:
    struct Line
    {
        QtMsgType type;
        QString category;
        QString text;
    };

    LogCapture();
    ~LogCapture();

    QList<Line> lines() const;
    // Texts only, optionally of one category.
    QStringList texts(const QString &category = QString()) const;
    bool contains(const QString &fragment) const;
    void clear();

private:
    static void handler(QtMsgType type, const QMessageLogContext &context, const QString &text);
    QtMessageHandler m_previous;
};

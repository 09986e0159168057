#include "support/logcapture.h"

#include <QList>

namespace {
QList<LogCapture::Line> *capturedLines = nullptr;
}

LogCapture::LogCapture()
{
    capturedLines = new QList<Line>;
    m_previous = qInstallMessageHandler(&LogCapture::handler);
}

LogCapture::~LogCapture()
{
    qInstallMessageHandler(m_previous);
    delete capturedLines;
    capturedLines = nullptr;
}

void LogCapture::handler(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (capturedLines)
        capturedLines->append({type, QString::fromUtf8(context.category ? context.category : ""), text});
}

QList<LogCapture::Line> LogCapture::lines() const
{
    return *capturedLines;
}

QStringList LogCapture::texts(const QString &category) const
{
    QStringList result;
    for (const Line &line : *capturedLines) {
        if (category.isEmpty() || line.category == category)
            result << line.text;
    }
    return result;
}

bool LogCapture::contains(const QString &fragment) const
{
    for (const Line &line : *capturedLines) {
        if (line.text.contains(fragment))
            return true;
    }
    return false;
}

void LogCapture::clear()
{
    capturedLines->clear();
}

#include "console.h"

#include <cstdio>
#include <mutex>

namespace vesanuhost {

namespace {

std::mutex consoleMutex;
int liveWidth = 0;

void write(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

void wipeLive()
{
    if (liveWidth > 0)
        write(QLatin1Char('\r') + QString(liveWidth, QLatin1Char(' ')) + QLatin1Char('\r'));
    liveWidth = 0;
}

} // namespace

void Console::writeLine(const QString &line)
{
    const std::lock_guard<std::mutex> lock(consoleMutex);
    wipeLive();
    write(line + QLatin1Char('\n'));
    std::fflush(stderr);
}

void Console::showLive(const QString &text)
{
    const std::lock_guard<std::mutex> lock(consoleMutex);
    // Pad over a longer previous text instead of clearing first: no flicker.
    const int width = text.size();
    write(QLatin1Char('\r') + text + QString(qMax(0, liveWidth - width), QLatin1Char(' ')));
    liveWidth = qMax(liveWidth, width);
    std::fflush(stderr);
}

void Console::clearLive()
{
    const std::lock_guard<std::mutex> lock(consoleMutex);
    wipeLive();
    std::fflush(stderr);
}

} // namespace vesanuhost

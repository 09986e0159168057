#include "quietlog.h"

#include <QtGlobal>

namespace {

void discard(QtMsgType, const QMessageLogContext &, const QString &) { }

} // namespace

void silenceQtMessages()
{
    qInstallMessageHandler(discard);
}

#include "commandline.h"
#include "commandrunner.h"
#include "console.h"
#include "hostconstants.h"

#include <QCoreApplication>
#include <QTextStream>

using namespace vesanuhost;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vesanu-host"));
    QCoreApplication::setApplicationVersion(QLatin1String(ToolVersion));

    CommandLine commandLine;
    if (!commandLine.parse(QCoreApplication::arguments())) {
        Console::writeLine(QStringLiteral("vesanu-host: %1\nTry '%2'.")
                               .arg(commandLine.errorString(), commandLine.helpHint()));
        return ExitUsage;
    }
    const Invocation &invocation = commandLine.invocation();
    if (!invocation.helpText.isEmpty()) {
        QTextStream out(stdout);
        out.setCodec("UTF-8");
        out << invocation.helpText;
        return ExitSuccess;
    }
    return CommandRunner(invocation).run(QCoreApplication::applicationDirPath());
}

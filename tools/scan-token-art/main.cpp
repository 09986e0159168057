#include "scenepainter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QImageWriter>
#include <QTextStream>

// Writes the scan-dialog picture as an 8-bit RGBA PNG.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("scan-token-art"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Draws the VesaNu scan-dialog picture (453 x 350, RGBA PNG)."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("PNG file to write."));
    parser.process(app);

    const QStringList arguments = parser.positionalArguments();
    if (arguments.size() != 1)
        parser.showHelp(2);

    QImageWriter writer(arguments.first(), "png");
    if (!writer.write(ScenePainter().render())) {
        QTextStream(stderr) << "scan-token-art: " << writer.errorString() << '\n';
        return 1;
    }
    return 0;
}

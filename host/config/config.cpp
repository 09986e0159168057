#include "config/config.h"

#include "config/configconstants.h"
#include "config/inifile.h"

#include <QFile>
#include <QLoggingCategory>

// One pointer and three lists per process: defined here only, so the host,
// its tools and every plug-in it loads share them.
template<> Config *Singleton<Config>::instance = nullptr;

QList<QDir> Config::configDirectoriesPathList;
QStringList Config::configFilesPathList;
QList<QDir> Config::additionalPathList;

namespace {

Q_LOGGING_CATEGORY(configLog, veltaconfig::LogCategory)

constexpr qint64 ReadPieceSize = 64 * 1024;

void warn(const char *format, const QString &path, const QString &detail)
{
    qCWarning(configLog).noquote() << QString::fromUtf8(format).arg(path, detail);
}

// Reads at most one byte past the limit, so an oversized file or an endless
// device is recognised without being read whole. It reads in pieces: asking
// for the limit at once would reserve all of it for every small file.
bool readFile(const QString &path, QByteArray *contents)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        warn(veltaconfig::CannotReadWarning, path, file.errorString());
        return false;
    }
    contents->clear();
    while (contents->size() <= veltaconfig::MaxFileSize) {
        const QByteArray piece = file.read(
            qMin<qint64>(ReadPieceSize, veltaconfig::MaxFileSize + 1 - contents->size()));
        if (piece.isEmpty())
            break;
        contents->append(piece);
    }
    if (file.error() != QFileDevice::NoError) {
        warn(veltaconfig::CannotReadWarning, path, file.errorString());
        return false;
    }
    if (contents->size() > veltaconfig::MaxFileSize) {
        warn(veltaconfig::TooLargeWarning, path, QString::number(veltaconfig::MaxFileSize));
        return false;
    }
    return true;
}

} // namespace

Config::Config() = default;
Config::~Config() = default;

bool Config::loadFile(const QString &path, const QString & /*reserved*/)
{
    const QString realPath = resolvePath(path);
    QByteArray contents;
    if (!readFile(realPath, &contents))
        return false;
    const veltaconfig::IniFile ini = veltaconfig::IniFile::parse(contents);
    if (ini.malformedLineCount() > 0) {
        qCWarning(configLog).noquote() << QString::fromUtf8(veltaconfig::MalformedWarning)
                                              .arg(realPath)
                                              .arg(ini.malformedLineCount())
                                              .arg(ini.firstMalformedLine());
    }
    // Parsed in full before anything is stored: a file either loads or not.
    const QHash<QString, QString> values = ini.values();
    const QWriteLocker lock(&m_lock);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        m_values.insert(it.key(), it.value());
    return true;
}

QString Config::getString(const QString &key)
{
    return getString(key, QString());
}

QString Config::getString(const QString &key, const QString &defaultValue)
{
    const QReadLocker lock(&m_lock);
    return m_values.value(key, defaultValue);
}

int Config::getInt(const QString &key, int defaultValue)
{
    bool isNumber = false;
    const int value = getString(key).toInt(&isNumber, 10);
    return isNumber ? value : defaultValue;
}

QString Config::resolvePath(const QString &path)
{
    const QString root = qEnvironmentVariable(veltaconfig::RootVariable);
    if (root.isEmpty() || !QDir::isAbsolutePath(path))
        return path;
    // ".." above "/" is "/" itself, so the resolved path stays under the root.
    QString inner = QDir::cleanPath(path);
    while (inner == QLatin1String("/..") || inner.startsWith(QLatin1String("/../")))
        inner.remove(0, 3);
    return QDir::cleanPath(root + QLatin1Char('/') + inner);
}

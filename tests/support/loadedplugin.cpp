#include "support/loadedplugin.h"

#include "config/config.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

LoadedPlugin::LoadedPlugin(const QString &ini)
    : m_loader(pluginPath())
{
    // Each test starts from an empty store: loaded files merge into it.
    delete Singleton<Config>::instance;
    Singleton<Config>::instance = nullptr;
    writeIni(m_root.path(), ini);
    qputenv("VELTA_CONFIG_ROOT", QFile::encodeName(m_root.path()));
    // Every import resolved now: a symbol the host lacks fails the load with
    // the loader's message instead of a call in the middle of a test.
    m_loader.setLoadHints(m_loader.loadHints() | QLibrary::ResolveAllSymbolsHint);
    QObject *instance = m_loader.instance();
    if (!instance)
        return;
    m_processing = qobject_cast<BasicPaymentProcessing *>(instance);
    if (m_processing)
        m_processing->init();
}

LoadedPlugin::~LoadedPlugin()
{
    delete m_loader.instance();
    qunsetenv("VELTA_CONFIG_ROOT");
}

QString LoadedPlugin::pluginPath()
{
    return QStringLiteral(VESANU_PLUGIN_PATH);
}

void LoadedPlugin::writeIni(const QString &root, const QString &content)
{
    const QString dir = root + QStringLiteral("/tessaroot/cash/paysystems/vesanu");
    QDir().mkpath(dir);
    QFile file(dir + QStringLiteral("/vesanu.ini"));
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write((content + journalLine(content, root)).toUtf8());
}

QString LoadedPlugin::journalLine(const QString &ini, const QString &root)
{
    static const QRegularExpression named(QStringLiteral("^journal="),
                                          QRegularExpression::MultilineOption);
    if (ini.contains(named))
        return QString();
    return QStringLiteral("\njournal=%1/journal.sqlite\n").arg(root);
}

QString testIni(const QString &extra)
{
    return QStringLiteral("[VesaNu]\n"
                          "host=http://127.0.0.1:9\n"
                          "timeout=3\n"
                          "payDuration=0\n"
                          "statusRequestInterval=0\n"
                          "cashboxCode=CB-7\n"
                          "branchId=BR-42\n"
                          "secretKey=\"s,e;c#r%e=t\"\n")
           + extra;
}

#include "support/loadedplugin.h"
#include "support/qtprinting.h"

#include <QFile>
#include <QJsonObject>
#include <QLibrary>
#include <QProcess>
#include <QSize>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

namespace {

QSize pngSize(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QSize();
    const QByteArray head = file.read(33);
    if (head.size() < 33 || !head.startsWith("\x89PNG\r\n\x1a\n") || head.mid(12, 4) != "IHDR")
        return QSize();
    const auto *bytes = reinterpret_cast<const uchar *>(head.constData());
    return QSize(int(qFromBigEndian<quint32>(bytes + 16)), int(qFromBigEndian<quint32>(bytes + 20)));
}

} // namespace

TEST(PluginLoad, MetadataBlockIsTheThirtyFourBytesAnnouncingTheQtItWasBuiltWith)
{
    QLibrary library(LoadedPlugin::pluginPath());
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    using Query = const char *(*)();
    const auto query = reinterpret_cast<Query>(library.resolve("qt_plugin_query_metadata"));
    ASSERT_NE(query, nullptr) << library.errorString().toStdString();
    // A host running an older Qt than this must refuse the plug-in cleanly.
    const unsigned char expected[34] = {'Q', 'T', 'M', 'E', 'T', 'A', 'D', 'A', 'T', 'A', ' ', '!',
                                        0, 5, QT_VERSION_MINOR, 0, 0xbf, 0x02, 0x66, 'V', 'e', 's',
                                        'a', 'N', 'u', 0x03, 0x66, 'V', 'e', 's', 'a', 'N', 'u', 0xff};
    EXPECT_EQ(std::memcmp(query(), expected, sizeof expected), 0);
}

TEST(PluginLoad, HostReadsMetadataAndCastsToTheProcessingInterface)
{
    LoadedPlugin plugin(testIni());
    const QJsonObject meta = plugin.loader().metaData();
    EXPECT_EQ(meta.value("IID").toString(), "VesaNu");
    EXPECT_EQ(meta.value("className").toString(), "VesaNu");
    ASSERT_NE(plugin.processing(), nullptr) << plugin.loader().errorString().toStdString();

    QObject *object = plugin.loader().instance();
    EXPECT_STREQ(object->metaObject()->className(), "vesanu::VesaNu");
    void *asInterface = object->qt_metacast("VeltaPaymentProcessing/1.0");
    EXPECT_EQ(asInterface, object->qt_metacast("BasicPaymentProcessing"));
    EXPECT_EQ(asInterface, static_cast<void *>(plugin.processing()));
    EXPECT_EQ(object->qt_metacast("vesanu::VesaNu"), static_cast<void *>(object));
    EXPECT_NE(asInterface, static_cast<void *>(object));
    EXPECT_EQ(object->qt_metacast("AbstractPaymentProcessing"), nullptr);
    EXPECT_EQ(object->qt_metacast(nullptr), nullptr);
}

TEST(PluginLoad, EnablesTokenPaymentRefundAndCancelWithoutATerminal)
{
    LoadedPlugin plugin(testIni());
    BasicPaymentProcessing *p = plugin.processing();
    ASSERT_NE(p, nullptr);
    using Type = PaymentProcessingRequest::Type;
    const bool payment[] = {false, true, false, true, false};
    const bool cancel[] = {false, true, false, false, false};
    for (int type = 0; type < 5; ++type) {
        EXPECT_EQ(p->isPaymentEnable(Type(type)), payment[type]) << type;
        EXPECT_EQ(p->isCancelEnable(Type(type)), cancel[type]) << type;
    }
    using Flag = EPaymentProcessingOption::Option;
    EXPECT_TRUE(p->checkOption(Flag(0x10)));
    EXPECT_TRUE(p->checkOption(Flag(0x4000)));
    EXPECT_TRUE(p->checkOption(Flag(0x4010)));
    EXPECT_FALSE(p->checkOption(Flag(0)));
    EXPECT_FALSE(p->checkOption(Flag(0x20)));
    EXPECT_FALSE(p->checkOption(Flag(0x4011)));
    EXPECT_FALSE(p->useTerminal());
    for (int option = 0; option < 8; ++option)
        EXPECT_EQ(p->checkOption(processing::Option(option)), option == 5) << option;
    EXPECT_EQ(p->getDialogScanMask(), ".*");
}

TEST(PluginLoad, ScanDialogTextsAndPicture)
{
    LoadedPlugin plugin(testIni());
    ASSERT_NE(plugin.processing(), nullptr);
    const auto info = plugin.processing()->getMessageInfo();
    ASSERT_EQ(info.size(), 3);
    EXPECT_EQ(info.value(EPaymentProcessingInfo::MessageType(0)), tr::Tr("vesaNuScanTitle", "Ввод токена VesaNu"));
    EXPECT_EQ(info.value(EPaymentProcessingInfo::MessageType(1)),
              tr::Tr("vesaNuScanMessage", "Отсканируйте токен VesaNu"));
    EXPECT_EQ(info.value(EPaymentProcessingInfo::MessageType(2)),
              tr::Tr("vesaNuScanError", "Ошибка считывания токена VesaNu,\nповторите сканирование"));

    const QString path = plugin.processing()->getDialogImagePath();
    EXPECT_EQ(path, ":/vesanu/scan_token.png");
    EXPECT_EQ(pngSize(path), QSize(453, 350));
}

TEST(PluginLoad, OneInstanceUntilTheHostDeletesIt)
{
    QLibrary library(LoadedPlugin::pluginPath());
    library.setLoadHints(QLibrary::ResolveAllSymbolsHint);
    using Instance = QObject *(*)();
    const auto instance = reinterpret_cast<Instance>(library.resolve("qt_plugin_instance"));
    ASSERT_NE(instance, nullptr);
    QObject *first = instance();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(instance(), first);
    delete first;
    QObject *second = instance();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(instance(), second);
    delete second;
}

TEST(PluginLoad, ExportsOnlyTheEntryPointsAndResourceFunctions)
{
    QProcess nm;
    nm.start("nm", {"-D", "-C", "--defined-only", "--format=posix", LoadedPlugin::pluginPath()});
    ASSERT_TRUE(nm.waitForFinished(10000));
    QStringList exported;
    for (const QByteArray &line : nm.readAllStandardOutput().split('\n')) {
        // "name kind value size"; a demangled name may hold blanks.
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() < 3)
            continue;
        const int kindField = fields.size() >= 4 ? fields.size() - 3 : fields.size() - 2;
        const QString name = QString::fromLatin1(line.left(line.indexOf(' ' + fields.at(kindField) + ' ')));
        const QChar kind = QChar::fromLatin1(fields.at(kindField).at(0));
        // Linker-made markers and vague-linkage copies of Qt's own inline
        // statics are not code of ours.
        if (kind == 'u' || kind == 'V' || kind == 'W' || name.startsWith("_init")
            || name.startsWith("_fini") || name == "_edata" || name == "_end" || name == "__bss_start")
            continue;
        exported << name;
    }
    exported.sort();
    EXPECT_EQ(exported, QStringList({"qCleanupResources_vesanu()", "qInitResources_vesanu()",
                                     "qt_plugin_instance", "qt_plugin_query_metadata"}));
}

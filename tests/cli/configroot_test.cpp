#include "configroot.h"

#include "config/config.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using vesanuhost::ConfigRoot;

namespace {

const char IniPath[] = "/tessaroot/cash/paysystems/vesanu/vesanu.ini";

// Keeps VELTA_CONFIG_ROOT as it was for the tests that follow.
class ConfigRootTest : public ::testing::Test
{
protected:
    void SetUp() override { m_saved = qgetenv("VELTA_CONFIG_ROOT"); }
    void TearDown() override { qputenv("VELTA_CONFIG_ROOT", m_saved); }

    QString writeIni(const QString &path, const QByteArray &content)
    {
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
        return path;
    }

    QTemporaryDir m_directory;

private:
    QByteArray m_saved;
};

// What matters is that the plug-in's own read of its ini path finds the file.
TEST_F(ConfigRootTest, IniFileIsWhereTheStoreLooksForThePluginsIni)
{
    const QString ini = writeIni(m_directory.filePath(QStringLiteral("mine.ini")),
                                 "[VesaNu]\nhost=http://127.0.0.1:8080\nbranchId=B-7\n");
    ConfigRoot root;
    ASSERT_TRUE(root.useIniFile(ini)) << qPrintable(root.errorString());
    EXPECT_EQ(qgetenv("VELTA_CONFIG_ROOT"), QFile::encodeName(root.rootPath()));

    Config store;
    ASSERT_TRUE(store.loadFile(QLatin1String(IniPath)));
    EXPECT_EQ(store.getString(QStringLiteral("VesaNu:host")), QStringLiteral("http://127.0.0.1:8080"));
    EXPECT_EQ(store.getString(QStringLiteral("VesaNu:branchId")), QStringLiteral("B-7"));
}

TEST_F(ConfigRootTest, RootIsUsedAsItStands)
{
    writeIni(m_directory.path() + QLatin1String(IniPath), "[VesaNu]\ncashboxCode=C-1\n");
    ConfigRoot root;
    ASSERT_TRUE(root.useRoot(m_directory.path()));
    Config store;
    ASSERT_TRUE(store.loadFile(QLatin1String(IniPath)));
    EXPECT_EQ(store.getString(QStringLiteral("VesaNu:cashboxCode")), QStringLiteral("C-1"));
}

TEST_F(ConfigRootTest, TemporaryRootGoesWithTheObject)
{
    const QString ini = writeIni(m_directory.filePath(QStringLiteral("mine.ini")), "[VesaNu]\n");
    QString path;
    {
        ConfigRoot root;
        ASSERT_TRUE(root.useIniFile(ini));
        path = root.rootPath();
        EXPECT_TRUE(QFileInfo(path).isDir());
    }
    EXPECT_FALSE(QFileInfo(path).exists());
    EXPECT_TRUE(QFileInfo(ini).isFile());
}

TEST_F(ConfigRootTest, MissingFilesAndFoldersAreRefusedWithoutTouchingTheEnvironment)
{
    qputenv("VELTA_CONFIG_ROOT", "before");
    ConfigRoot root;
    EXPECT_FALSE(root.useIniFile(m_directory.filePath(QStringLiteral("absent.ini"))));
    EXPECT_TRUE(root.errorString().contains(QStringLiteral("absent.ini")));
    EXPECT_FALSE(root.useRoot(m_directory.filePath(QStringLiteral("absent"))));
    EXPECT_EQ(qgetenv("VELTA_CONFIG_ROOT"), QByteArray("before"));
}

} // namespace

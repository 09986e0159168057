#include "pluginlocator.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using vesanuhost::PluginLocator;

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

TEST(PluginLocator, SearchesTheBuildTreeFirstThenTheInstalledPlaces)
{
    const QStringList list = PluginLocator::searchList(QStringLiteral("/opt/build/bin"));
    ASSERT_EQ(list.size(), 3);
    EXPECT_EQ(list.at(0), QStringLiteral("/opt/build/lib/libProcessingVesaNu.so"));
    EXPECT_EQ(list.at(1), QStringLiteral("/usr/lib/i386-linux-gnu/velta/paysystems/libProcessingVesaNu.so"));
}

TEST(PluginLocator, FindsTheLibraryBesideTheBinFolder)
{
    QTemporaryDir build;
    touch(build.filePath(QStringLiteral("lib/libProcessingVesaNu.so")));
    PluginLocator locator;
    ASSERT_TRUE(locator.locate(QString(), build.filePath(QStringLiteral("bin"))));
    EXPECT_EQ(locator.path(), QDir(build.path()).absoluteFilePath(QStringLiteral("lib/libProcessingVesaNu.so")));
}

TEST(PluginLocator, TakesAnExplicitPathAsItStandsWithoutFallingBack)
{
    QTemporaryDir build;
    touch(build.filePath(QStringLiteral("lib/libProcessingVesaNu.so")));
    const QString missing = build.filePath(QStringLiteral("elsewhere/libProcessingVesaNu.so"));
    PluginLocator locator;
    EXPECT_FALSE(locator.locate(missing, build.filePath(QStringLiteral("bin"))));
    EXPECT_TRUE(locator.path().isEmpty());
    EXPECT_TRUE(locator.errorString().contains(missing)) << qPrintable(locator.errorString());

    const QString other = build.filePath(QStringLiteral("other.so"));
    touch(other);
    ASSERT_TRUE(locator.locate(other, QString()));
    EXPECT_EQ(locator.path(), other);
}

} // namespace

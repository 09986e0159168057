#include "config/config.h"

#include "scopedenvironment.h"
#include "support/logcapture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ConfigTest : public ::testing::Test
{
protected:
    QString write(const QString &name, const QByteArray &contents)
    {
        const QString path = m_dir.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(contents);
        return path;
    }

    bool load(const QByteArray &contents) { return m_config.loadFile(write("test.ini", contents)); }

    QTemporaryDir m_dir;
    Config m_config;
};

struct ValueCase
{
    const char *name;
    QByteArray line;
    QString expected;
};

void PrintTo(const ValueCase &value, std::ostream *out)
{
    *out << value.name;
}

class ConfigValueTest : public ConfigTest, public ::testing::WithParamInterface<ValueCase>
{
};

// Values come back whole: nothing is split into a list, decoded or cut at a
// character that merely looks like syntax.
TEST_P(ConfigValueTest, ValueComesBackAsWritten)
{
    ASSERT_TRUE(load("[VesaNu]\n" + GetParam().line + "\n"));
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:secretKey"), QStringLiteral("<absent>")),
        GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Values, ConfigValueTest,
    ::testing::Values(ValueCase { "Plain", "secretKey = abc", "abc" },
        ValueCase { "Commas", "secretKey = a,b,c", "a,b,c" },
        ValueCase { "QuotedSecret", R"(secretKey = "a,b;c#d%20e=f")", "a,b;c#d%20e=f" },
        ValueCase { "UnquotedSecret", "secretKey = a,b;c#d%20e=f", "a,b;c#d%20e=f" },
        ValueCase { "PercentNotDecoded", "secretKey = %41%2C", "%41%2C" },
        ValueCase { "EqualsInValue", "secretKey=a=b==", "a=b==" },
        ValueCase { "TrailingSemicolonComment", "secretKey = 10 ; seconds", "10" },
        ValueCase { "TrailingHashComment", "secretKey = 10\t# seconds", "10" },
        ValueCase { "QuotedThenComment", R"(secretKey = "x ; y" ; note)", "x ; y" },
        ValueCase { "QuotedKeepsBlanks", R"(secretKey = "  padded  ")", "  padded  " },
        ValueCase { "QuotedLeadingHash", R"(secretKey = "#a ;b")", "#a ;b" },
        ValueCase { "Escapes", R"(secretKey = "say \"hi\" \\ \n")", R"(say "hi" \ \n)" },
        ValueCase { "EmptyQuoted", R"(secretKey = "")", "" },
        ValueCase { "EmptyUnquoted", "secretKey =", "" },
        ValueCase { "BlanksAroundKey", "   secretKey\t=   v   ", "v" },
        ValueCase { "Utf8", "secretKey = Привет, мир", QStringLiteral("Привет, мир") },
        ValueCase { "CrLf", "secretKey = crlf\r", "crlf" },
        ValueCase { "LaterLineWins", "secretKey = one\nsecretKey = two", "two" }),
    [](const ::testing::TestParamInfo<ValueCase> &info) { return info.param.name; });

TEST_F(ConfigTest, SectionsMapToGroupPrefixes)
{
    ASSERT_TRUE(load("\xEF\xBB\xBF; comment\n# comment\ntop = 1\n[A]\nkey = a\n[ B ]\nkey = b\n"
                     "[A]\nother = a2\n"));
    EXPECT_EQ(m_config.getString(QStringLiteral("top")), QStringLiteral("1"));
    EXPECT_EQ(m_config.getString(QStringLiteral("A:key")), QStringLiteral("a"));
    EXPECT_EQ(m_config.getString(QStringLiteral("A:other")), QStringLiteral("a2"));
    EXPECT_EQ(m_config.getString(QStringLiteral("B:key")), QStringLiteral("b"));
}

TEST_F(ConfigTest, LaterFileWinsAndEarlierKeysStay)
{
    ASSERT_TRUE(m_config.loadFile(write("first.ini", "[VesaNu]\ntimeout = 10\nhost = h1\n")));
    ASSERT_TRUE(m_config.loadFile(write("second.ini", "[VesaNu]\ntimeout = 20\n")));
    EXPECT_EQ(m_config.getInt(QStringLiteral("VesaNu:timeout"), 0), 20);
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:host")), QStringLiteral("h1"));
}

TEST_F(ConfigTest, AbsentKeysGiveDefaults)
{
    ASSERT_TRUE(load("[VesaNu]\nempty =\n"));
    EXPECT_TRUE(m_config.getString(QStringLiteral("VesaNu:absent")).isEmpty());
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:absent"), QStringLiteral("d")),
        QStringLiteral("d"));
    EXPECT_EQ(m_config.getInt(QStringLiteral("VesaNu:absent"), 7), 7);
    // Present but empty is not absent.
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:empty"), QStringLiteral("d")), QString());
    // The group is part of the key.
    EXPECT_TRUE(m_config.getString(QStringLiteral("empty")).isEmpty());
}

TEST_F(ConfigTest, GetIntTakesOnlyWholeNumbers)
{
    ASSERT_TRUE(load("[N]\na = 12\nb = -5\nc = \" 7 \"\nd = 10.5\ne = 1e3\nf = abc\ng = 1,000\n"
                     "h = 2147483648\ni = 0x10\nj =\n"));
    const QList<QPair<const char *, int>> expected = { { "a", 12 }, { "b", -5 }, { "c", 7 },
        { "d", 99 }, { "e", 99 }, { "f", 99 }, { "g", 99 }, { "h", 99 }, { "i", 99 }, { "j", 99 } };
    for (const auto &entry : expected) {
        EXPECT_EQ(
            m_config.getInt(QStringLiteral("N:") + QLatin1String(entry.first), 99), entry.second)
            << entry.first;
    }
}

TEST_F(ConfigTest, UnreadableFileLeavesStoreAndWarnsOnce)
{
    ASSERT_TRUE(load("[VesaNu]\ntimeout = 10\n"));
    for (const QString &path : { m_dir.filePath(QStringLiteral("missing.ini")), m_dir.path() }) {
        LogCapture log;
        EXPECT_FALSE(m_config.loadFile(path)) << qPrintable(path);
        EXPECT_EQ(log.texts(QStringLiteral("veltaconfig")).size(), 1) << qPrintable(path);
        EXPECT_EQ(log.lines().value(0).type, QtWarningMsg);
        EXPECT_EQ(m_config.getInt(QStringLiteral("VesaNu:timeout"), 0), 10);
    }
}

// A device that never ends is refused rather than read for ever.
TEST_F(ConfigTest, EndlessFileIsRefused)
{
    LogCapture log;
    EXPECT_FALSE(m_config.loadFile(QStringLiteral("/dev/zero")));
    EXPECT_EQ(log.texts(QStringLiteral("veltaconfig")).size(), 1);
}

// Broken lines are skipped, counted in one warning, and never take a key
// along with them or move it into another group.
TEST_F(ConfigTest, MalformedLinesAreSkipped)
{
    LogCapture log;
    ASSERT_TRUE(load("[VesaNu]\nsecretKey = \"unclosed\nhost = h\nno equals sign\n= novalue\n"
                     "quoted = \"a\" junk\n[Broken\nbranchId = 42\n[Other]\nkey = k\n"));
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:secretKey"), QStringLiteral("<absent>")),
        QStringLiteral("<absent>"));
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:quoted"), QStringLiteral("<absent>")),
        QStringLiteral("<absent>"));
    EXPECT_EQ(m_config.getString(QStringLiteral("VesaNu:host")), QStringLiteral("h"));
    EXPECT_TRUE(m_config.getString(QStringLiteral("VesaNu:branchId")).isEmpty());
    EXPECT_EQ(m_config.getString(QStringLiteral("Other:key")), QStringLiteral("k"));
    const QStringList warnings = log.texts(QStringLiteral("veltaconfig"));
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings.first().contains(QStringLiteral(" 5 "))) << qPrintable(warnings.first());
    EXPECT_TRUE(warnings.first().endsWith(QStringLiteral(" 2"))) << qPrintable(warnings.first());
}

// Large, hostile input is read in one pass: many times slower here would
// mean the reader went quadratic.
TEST_F(ConfigTest, HugeLinesAreReadInLinearTime)
{
    const int size = 3 * 1024 * 1024;
    const QByteArray text = "[G]\nplain = " + QByteArray(size, 'x') + "\nquoted = \""
        + QByteArray(size, '\\') + "\"\nbroken = \"" + QByteArray(size, ';') + "\n"
        + QByteArray(size, '[') + "\n";
    QElapsedTimer clock;
    clock.start();
    LogCapture log;
    ASSERT_TRUE(load(text));
    EXPECT_LT(clock.elapsed(), 3000);
    EXPECT_EQ(m_config.getString(QStringLiteral("G:plain")).size(), size);
    EXPECT_EQ(m_config.getString(QStringLiteral("G:quoted")).size(), size / 2);
}

struct PathCase
{
    const char *name;
    QByteArray root;
    QString path;
    QString expected;
};

void PrintTo(const PathCase &value, std::ostream *out)
{
    *out << value.name;
}

class ConfigPathTest : public ::testing::TestWithParam<PathCase>
{
};

TEST_P(ConfigPathTest, AbsolutePathsMoveUnderTheRoot)
{
    const ScopedEnvironment root("VELTA_CONFIG_ROOT", GetParam().root);
    EXPECT_EQ(Config::resolvePath(GetParam().path), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Paths, ConfigPathTest,
    ::testing::Values(PathCase { "NoRoot", QByteArray(), "/tessaroot/a.ini", "/tessaroot/a.ini" },
        PathCase { "EmptyRoot", "", "/tessaroot/a.ini", "/tessaroot/a.ini" },
        PathCase { "Absolute", "/tmp/r", "/tessaroot/a.ini", "/tmp/r/tessaroot/a.ini" },
        PathCase { "RootWithSlash", "/tmp/r/", "/tessaroot/a.ini", "/tmp/r/tessaroot/a.ini" },
        PathCase { "Relative", "/tmp/r", "conf/a.ini", "conf/a.ini" },
        PathCase { "StaysUnderRoot", "/tmp/r", "/../../etc/passwd", "/tmp/r/etc/passwd" },
        PathCase { "DotsInName", "/tmp/r", "/..a/b.ini", "/tmp/r/..a/b.ini" }),
    [](const ::testing::TestParamInfo<PathCase> &info) { return info.param.name; });

TEST_F(ConfigTest, LoadFileReadsUnderTheRoot)
{
    ASSERT_TRUE(m_dir.isValid());
    ASSERT_TRUE(QDir(m_dir.path()).mkpath(QStringLiteral("tessaroot/cash/paysystems/vesanu")));
    write(
        QStringLiteral("tessaroot/cash/paysystems/vesanu/vesanu.ini"), "[VesaNu]\ntimeout = 42\n");
    const ScopedEnvironment root("VELTA_CONFIG_ROOT", m_dir.path().toLocal8Bit());
    ASSERT_TRUE(m_config.loadFile(QStringLiteral("/tessaroot/cash/paysystems/vesanu/vesanu.ini")));
    EXPECT_EQ(m_config.getInt(QStringLiteral("VesaNu:timeout"), 10), 42);
}

} // namespace

#include "config/config.h"
#include "network/restclient.h"

#include <QFile>
#include <QLibrary>
#include <QPointer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FakeRestClient : public RestClient
{
    Q_OBJECT
};

// The executable and a module loaded later share one store and one creator.
class SingletonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_probe.setFileName(QStringLiteral(VESANU_LIBRARY_DIR "/hostprobe"));
        ASSERT_TRUE(m_probe.load()) << qPrintable(m_probe.errorString());
        m_configInstance
            = reinterpret_cast<ConfigInstance>(m_probe.resolve("hostProbeConfigInstance"));
        m_configInt = reinterpret_cast<ConfigInt>(m_probe.resolve("hostProbeConfigInt"));
        m_create = reinterpret_cast<Create>(m_probe.resolve("hostProbeCreate"));
        ASSERT_TRUE(m_configInstance && m_configInt && m_create);
    }

    void TearDown() override
    {
        Singleton<Config>::instance = m_savedConfig;
        MockFactory<RestClient>::creator = m_savedCreator;
    }

    using ConfigInstance = Config *(*)();
    using ConfigInt = int (*)(const char *, int);
    using Create = const char *(*)(const RestClient *, bool *);

    QLibrary m_probe;
    ConfigInstance m_configInstance = nullptr;
    ConfigInt m_configInt = nullptr;
    Create m_create = nullptr;
    Config *const m_savedConfig = Singleton<Config>::instance;
    const MockFactory<RestClient>::Creator m_savedCreator = MockFactory<RestClient>::creator;
};

TEST_F(SingletonTest, ModuleSeesTheStoreSetHere)
{
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("vesanu.ini")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[VesaNu]\ntimeout = 25\n");
    file.close();
    Config config;
    ASSERT_TRUE(config.loadFile(file.fileName()));

    Singleton<Config>::instance = &config;
    EXPECT_EQ(m_configInstance(), &config);
    EXPECT_EQ(m_configInt("VesaNu:timeout", 10), 25);
}

TEST_F(SingletonTest, StoreCreatedInTheModuleIsSeenHere)
{
    Singleton<Config>::instance = nullptr;
    EXPECT_EQ(m_configInt("VesaNu:timeout", 10), 10);
    ASSERT_NE(Singleton<Config>::instance, nullptr);
    EXPECT_EQ(m_configInstance(), Singleton<Config>::instance);
    delete Singleton<Config>::instance;
}

TEST_F(SingletonTest, ModuleCallsTheCreatorSetHere)
{
    bool isExpected = false;
    EXPECT_STREQ(m_create(nullptr, &isExpected), "RestClient");

    const QSharedPointer<RestClient> fake(new FakeRestClient);
    MockFactory<RestClient>::creator = [fake] { return fake; };
    EXPECT_STREQ(m_create(fake.data(), &isExpected), "FakeRestClient");
    EXPECT_TRUE(isExpected);
}

TEST(DefaultCreatorTest, ClientGoesWithTheLastReference)
{
    QPointer<RestClient> watched;
    {
        const QSharedPointer<RestClient> client = MockFactory<RestClient>::creator();
        ASSERT_TRUE(client);
        watched = client.data();
        const QSharedPointer<RestClient> copy = client;
        EXPECT_FALSE(watched.isNull());
    }
    EXPECT_TRUE(watched.isNull());
}

} // namespace

#include "singletontest.moc"

#include <QCoreApplication>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

// Qt's network and event machinery want an application object.
int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleMock(&argc, argv);
    return RUN_ALL_TESTS();
}

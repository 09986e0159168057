#include "tr/tr.h"

#include <gtest/gtest.h>

namespace {

TEST(TrTest, EqualityCoversKeyAndText)
{
    const tr::Tr message(
        QStringLiteral("requestIncorrectAnswer"), QStringLiteral("Некорректный ответ от сервера"));
    EXPECT_EQ(message, tr::Tr(message));
    EXPECT_NE(message, tr::Tr(QStringLiteral("requestIncorrectAnswer"), QStringLiteral("другой")));
    EXPECT_NE(message, tr::Tr(QStringLiteral("undefined"), message.defaultText()));
    EXPECT_NE(message, tr::Tr());
    EXPECT_EQ(tr::Tr(), tr::Tr(QString(), QString()));
    EXPECT_TRUE(tr::Tr().isEmpty());
}

TEST(TrTest, CopiesAreIndependentValues)
{
    tr::Tr target(QStringLiteral("a"), QStringLiteral("текст"));
    {
        const tr::Tr source(QStringLiteral("b"), QStringLiteral("другой"));
        target = source;
    }
    EXPECT_EQ(target.key(), QStringLiteral("b"));
    EXPECT_EQ(target.ui(), QStringLiteral("другой"));
}

} // namespace

#include "core/Cp1251.h"

#include <gtest/gtest.h>

#include <set>

TEST(Cp1251, EveryByteSurvivesDecodeAndEncode)
{
    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all.append(static_cast<char>(b));
    const QString text = cp1251::decode(all);
    ASSERT_EQ(text.size(), 256);
    EXPECT_EQ(cp1251::encode(text), all);
    std::set<char16_t> distinct;
    for (QChar ch : text)
        distinct.insert(ch.unicode());
    EXPECT_EQ(distinct.size(), 256u) << "two bytes decode to the same character";
}

TEST(Cp1251, KnownCharacters)
{
    struct Case
    {
        unsigned char byte;
        char16_t unicode;
    };
    const Case cases[] = {{0x41, u'A'}, {0xC0, u'А'}, {0xFF, u'я'}, {0xA8, u'Ё'},
                          {0xB8, u'ё'}, {0x88, u'€'}, {0xB9, u'№'}, {0x98, 0x0098},
                          {0x80, u'Ђ'}, {0xA5, u'Ґ'}, {0xB4, u'ґ'}, {0x96, u'–'}};
    for (const Case &c : cases) {
        EXPECT_EQ(cp1251::toUnicode(c.byte).unicode(), c.unicode) << int(c.byte);
        EXPECT_EQ(cp1251::fromUnicode(QChar(c.unicode)), c.byte) << int(c.byte);
    }
}

TEST(Cp1251, CharactersOutsideTheCodePageBecomeQuestionMarks)
{
    EXPECT_FALSE(cp1251::isEncodable(QChar(u'中')));
    EXPECT_EQ(cp1251::encode(QStringLiteral("a中ß")), QByteArray("a??"));
}

#include "preview/ContactList.h"
#include "core/Cp1251.h"
#include "preview/ChatSample.h"
#include "preview/Smiles.h"

#include <gtest/gtest.h>

namespace {

QByteArray cp(const QString &text)
{
    return cp1251::encode(text);
}

Buddy contact(const QString &nick, quint8 status)
{
    Buddy b;
    b.Nick = nick;
    b.Status = status;
    return b;
}

QStringList nicks(const Group &group)
{
    QStringList result;
    for (const Buddy &b : group.Contacts)
        result.append(b.Nick);
    return result;
}

} // namespace

TEST(CListFile, GroupsCommentsAndCaptions)
{
    const CL list = readCList(cp(QStringLiteral("# a comment\r\n\r\n{group = Друзья}\r\n"
                                                "Вася,19,255,255,0,0\r\n"
                                                "Петя,7,3,5,1,0\r\n"
                                                "Маша,19,255,255,0,0\r\n"
                                                "#Коля,7,1,1,0,0\r\n"
                                                "{group = Работа}\r\n"
                                                "Шеф,12,255,255,0,1\r\n")));
    ASSERT_EQ(list.Groups.size(), 2);
    EXPECT_EQ(list.Groups[0].Name, QStringLiteral("Друзья - 1/3"));
    EXPECT_EQ(list.Groups[1].Name, QStringLiteral("Работа - 1/1"));
    const Buddy &vasya = list.Groups[0].Contacts[0];
    EXPECT_EQ(vasya.Status, 19);
    EXPECT_EQ(vasya.XStatusIcon, 255);
    EXPECT_EQ(vasya.ClientIcon, 255);
    EXPECT_FALSE(vasya.Cursor);
    EXPECT_FALSE(vasya.Blinking);
    const Buddy &petya = list.Groups[0].Contacts[1];
    EXPECT_EQ(petya.XStatusIcon, 6);
    EXPECT_EQ(petya.ClientIcon, 10);
    EXPECT_TRUE(petya.Cursor);
    EXPECT_TRUE(list.Groups[1].Contacts[0].Blinking);
}

TEST(CListFile, MissingTrailingFieldsAndBadNumbers)
{
    const CL list = readCList(cp(QStringLiteral("{group = G}\n"
                                                "A,7,255,255,\n"
                                                "B,7,255,255,0\n"
                                                "C,abc,255,255,0,0\n"
                                                "D, 7 ,255,x,0,0\n"
                                                " E , 19 , 255 , 255 , 0 , 0\n")));
    ASSERT_EQ(list.Groups.size(), 1);
    ASSERT_EQ(nicks(list.Groups[0]),
              (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("E")}));
    const Buddy &a = list.Groups[0].Contacts[0];
    EXPECT_TRUE(a.Cursor);
    EXPECT_TRUE(a.Blinking);
    const Buddy &b = list.Groups[0].Contacts[1];
    EXPECT_TRUE(b.Cursor) << "no fifth comma: the cursor field is empty";
    EXPECT_FALSE(b.Blinking) << "the rest of the line, \"0\", is the blink field";
    // Fields are trimmed before they count, the sixth one is not.
    EXPECT_EQ(list.Groups[0].Contacts[2].Status, 19);
    EXPECT_EQ(list.Groups[0].Name, QStringLiteral("G - 2/3"));
    EXPECT_FALSE(list.Groups[0].Contacts[2].Cursor);
    EXPECT_TRUE(list.Groups[0].Contacts[2].Blinking) << "the sixth field is \" 0\", not \"0\"";
}

TEST(CListFile, ContactsBeforeAnyGroupAreIgnored)
{
    const CL list = readCList("A,7,255,255,0,0\r\n");
    EXPECT_TRUE(list.Groups.isEmpty());
}

TEST(SampleList, FourGroupsOfSixteenWithOneCursor)
{
    for (unsigned seed : {1u, 2u, 3u, 99u}) {
        std::mt19937 random(seed);
        const CL list = sampleContactList(random);
        ASSERT_EQ(list.Groups.size(), 4);
        int cursors = 0;
        for (int g = 0; g < 4; ++g) {
            const Group &group = list.Groups[g];
            EXPECT_EQ(group.Name, QStringLiteral("Группа #%1").arg(g));
            ASSERT_EQ(group.Contacts.size(), 16);
            int online = 0;
            while (online < 16 && group.Contacts[online].Status != kOfflineStatus)
                ++online;
            EXPECT_GE(online, 1);
            EXPECT_LE(online, 7);
            for (int j = 0; j < 16; ++j) {
                const Buddy &b = group.Contacts[j];
                EXPECT_EQ(b.Nick, QStringLiteral("%1Контакт #%2").arg(g).arg(j));
                EXPECT_EQ(b.Status == kOfflineStatus, j >= online);
                if (j < online) {
                    EXPECT_GE(b.Status, 7);
                    EXPECT_LE(b.Status, 17);
                    EXPECT_EQ(b.XStatusIcon % 2, 0);
                    EXPECT_LE(b.ClientIcon, 84);
                }
                cursors += b.Cursor;
            }
            if (g == 0) {
                EXPECT_TRUE(group.Contacts[online].Cursor);
            }
        }
        EXPECT_EQ(cursors, 1);
    }
}

TEST(DisplayList, OnlineAndOfflineHeadersCountTheWholeList)
{
    CL loaded;
    loaded.Groups = {{QStringLiteral("a"),
                      {contact(QStringLiteral("x"), 19), contact(QStringLiteral("y"), 7)},
                      false},
                     {QStringLiteral("b"),
                      {contact(QStringLiteral("z"), 10), contact(QStringLiteral("w"), 19),
                       contact(QStringLiteral("v"), 19)},
                      false}};
    const CL both = buildDisplayList(loaded, false, true, true);
    ASSERT_EQ(both.Groups.size(), 2);
    EXPECT_EQ(both.Groups[0].Name, QStringLiteral("В сети 2/5"));
    EXPECT_EQ(both.Groups[1].Name, QStringLiteral("Не в сети 3/5"));
    EXPECT_TRUE(both.Groups[0].Separator && both.Groups[1].Separator);
    EXPECT_EQ(nicks(both.Groups[0]), (QStringList{QStringLiteral("y"), QStringLiteral("z")}));

    const CL online = buildDisplayList(loaded, false, false, true);
    ASSERT_EQ(online.Groups.size(), 1);
    EXPECT_EQ(online.Groups[0].Name, QStringLiteral("В сети 2/5"));

    const CL grouped = buildDisplayList(loaded, true, false, true);
    ASSERT_EQ(grouped.Groups.size(), 2);
    EXPECT_EQ(nicks(grouped.Groups[0]), QStringList{QStringLiteral("y")});
    EXPECT_FALSE(grouped.Groups[0].Separator);
}

TEST(DisplayList, OfflineRemovalOnlyTrimsTheEnd)
{
    CL loaded;
    loaded.Groups = {{QStringLiteral("g"),
                      {contact(QStringLiteral("a"), 21), contact(QStringLiteral("b"), 19),
                       contact(QStringLiteral("c"), 7)},
                      false},
                     {QStringLiteral("empty"), {contact(QStringLiteral("d"), 19)}, false}};
    const CL display = buildDisplayList(loaded, true, false, true);
    // Status order 7, 19, 21: the offline contact is not at the end, so it stays.
    EXPECT_EQ(nicks(display.Groups[0]),
              (QStringList{QStringLiteral("c"), QStringLiteral("b"), QStringLiteral("a")}));
    EXPECT_TRUE(display.Groups[1].Contacts.isEmpty());
}

TEST(DisplayList, NamesSortByCodePageBytesAndEqualKeysKeepTheirOrder)
{
    CL loaded;
    // In code page 1251 "ё" (0xB8) sorts before "а" (0xE0), and Latin before Cyrillic.
    loaded.Groups = {{QStringLiteral("g"),
                      {contact(QStringLiteral("а"), 7), contact(QStringLiteral("ё"), 8),
                       contact(QStringLiteral("Z"), 9), contact(QStringLiteral("b"), 7)},
                      false}};
    const CL byName = buildDisplayList(loaded, true, true, false);
    EXPECT_EQ(nicks(byName.Groups[0]), (QStringList{QStringLiteral("Z"), QStringLiteral("b"),
                                                    QStringLiteral("ё"), QStringLiteral("а")}));
    const CL byStatus = buildDisplayList(loaded, true, true, true);
    EXPECT_EQ(nicks(byStatus.Groups[0]), (QStringList{QStringLiteral("а"), QStringLiteral("b"),
                                                      QStringLiteral("ё"), QStringLiteral("Z")}));
}

TEST(ChatSampleFile, HeaderFieldsAndBody)
{
    const ChatSample chat =
        readChatSample(cp(QStringLiteral("7,4,6,Маша, Петровна\r\nline 1\r\nline 2")));
    EXPECT_EQ(chat.ChatStatus, 7);
    EXPECT_EQ(chat.ChatXStatusIcon, 4);
    EXPECT_EQ(chat.ChatClientIcon, 6);
    EXPECT_EQ(chat.ChatNick, QStringLiteral("Маша, Петровна"));
    EXPECT_EQ(chat.ChatText, QStringLiteral("line 1\r\nline 2"));
    EXPECT_TRUE(readChatSample("1,2,3,x\r\n").ChatText.isEmpty());
}

TEST(SmileySet, LinesDirectionCodesAndXStatusCodes)
{
    const TSmiles smiles(cp(QStringLiteral(":-),:)\r\n\r\n;-)\r\n")));
    ASSERT_EQ(smiles.Count(), 3 + 3 + 37);
    EXPECT_EQ(smiles.smileys()[0].codes,
              (QStringList{QStringLiteral(":-)"), QStringLiteral(":)")}));
    EXPECT_EQ(smiles.smileys()[1].codes, QStringList{QString()});
    EXPECT_EQ(smiles.smileys()[3].codes, QStringList{QStringLiteral("[cover_in]")});
    EXPECT_EQ(smiles.smileys()[5].codes, QStringList{QStringLiteral("[cover_out]")});
    EXPECT_EQ(smiles.smileys()[6].codes, QStringList{QStringLiteral("<~~<xstatus01>~~>")});
    EXPECT_EQ(smiles.smileys()[42].codes, QStringList{QStringLiteral("<~~<xstatus37>~~>")});
}

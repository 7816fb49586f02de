#include "core/PhoneModels.h"

#include <gtest/gtest.h>

namespace {

PhoneModelList read(const char *text)
{
    return readPhoneModels(QByteArray(text), QStringLiteral("base.txt"));
}

} // namespace

TEST(PhoneModels, DataLinesSkipCommentsAndEmptyLines)
{
    const auto models = read("# a comment before any model\r\n"
                             "anything here is ignored\r\n"
                             "phone = Nokia N95 (240*320)\r\n"
                             "\r\n"
                             "# the size\r\n"
                             "240*320\r\n"
                             "27,63\r\n"
                             "\r\n"
                             "n95.png\r\n"
                             "Phone = not a model: the prefix is case-sensitive\r\n"
                             "phone = E71\n"
                             "320*240\n"
                             "20,40\n"
                             "e71.png\n");
    ASSERT_EQ(models.records.size(), 2);
    EXPECT_EQ(models.records[0], (PhoneModel{QStringLiteral("Nokia N95 (240*320)"), 240, 320, 27,
                                             63, QStringLiteral("n95.png")}));
    EXPECT_EQ(models.records[1].name, QStringLiteral("E71"));
    EXPECT_EQ(models.entries,
              (QStringList{QStringLiteral("Nokia N95 (240*320)"), QStringLiteral("E71")}));
    EXPECT_TRUE(models.problems.isEmpty());
}

TEST(PhoneModels, ABlockCutOffByTheEndKeepsItsRecordButNoEntry)
{
    const auto models = read("phone = A\r\n176*208\r\n1,2\r\na.png\r\nphone = B\r\n208*208\r\n");
    ASSERT_EQ(models.records.size(), 2);
    EXPECT_EQ(models.entries, QStringList{QStringLiteral("A")});
    EXPECT_EQ(models.records[1].name, QStringLiteral("B"));
    EXPECT_TRUE(read("no models at all\r\n").records.isEmpty());
}

TEST(PhoneModels, BrokenModelsAreLeftOutWithTheirLine)
{
    const auto models = read("phone = NoStar\r\n240x320\r\n1,2\r\na.png\r\n"
                             "phone = NoComma\r\n240*320\r\n1;2\r\na.png\r\n"
                             "phone = Hex\r\n0xF0*320\r\n1,2\r\na.png\r\n"
                             "phone = Tiny\r\n100*320\r\n1,2\r\na.png\r\n"
                             "phone = Good\r\n1500*128\r\n0,0\r\ng.png\r\n");
    EXPECT_EQ(models.entries, QStringList{QStringLiteral("Good")});
    EXPECT_EQ(models.records.size(), 1) << "record i stays list entry i";
    ASSERT_EQ(models.problems.size(), 4);
    EXPECT_TRUE(models.problems[0].startsWith(QStringLiteral("base.txt:1: model \"NoStar\"")));
    EXPECT_TRUE(models.problems[1].contains(QStringLiteral("base.txt:5:")));
    EXPECT_TRUE(models.problems[3].contains(QStringLiteral("128..1500")));
}

TEST(PhoneModels, FindGivesTheLastRecordWithTheName)
{
    const auto models = read("phone = Same\r\n240*320\r\n1,1\r\na.png\r\n"
                             "phone = Other\r\n240*320\r\n1,1\r\nb.png\r\n"
                             "phone = Same\r\n352*416\r\n2,2\r\nc.png\r\n");
    EXPECT_EQ(findModel(models, QStringLiteral("Same")), 2);
    EXPECT_EQ(findModel(models, QStringLiteral("same")), -1);
    EXPECT_EQ(findModel(models, kCustomSizeEntry), -1);
}

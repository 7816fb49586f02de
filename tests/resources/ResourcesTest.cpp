// Checks the client resource set installed beside the program: the icon files load through the
// converter with the counts the screens rely on, every icon has a mask of its size that really
// masks, the smiley list and its pictures pair up, and the sample chat and contact list parse.

#include "containers/MbmImageList.h"
#include "core/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QImage>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

namespace {

const QString kData = QStringLiteral(VELMORA_TEST_DATA "/../../data");

QString dataPath(const QString &name)
{
    return QDir(kData).absoluteFilePath(name);
}

QByteArray readData(const QString &name)
{
    QFile file(dataPath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Lines of a code page 1251 text with CR LF line ends, as the client reads them.
QStringList crLfLines(const QString &name)
{
    return cp1251::decode(readData(name)).split(QStringLiteral("\r\n"));
}

QStringList smileyLines()
{
    return crLfLines(QStringLiteral("Smilies/default.ini"));
}

struct LoadedList
{
    std::unique_ptr<MbmImageList> list = std::make_unique<MbmImageList>();
    QStringList messages;
    bool loaded = false;
};

// Every .mbm is unpacked once for the whole suite: each load runs the converter twice.
class InstalledIcons : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_work = std::make_unique<QTemporaryDir>();
        ASSERT_TRUE(QDir(s_work->path()).mkdir(QStringLiteral("temp")));
        s_lists = std::make_unique<std::map<QString, LoadedList>>();
    }
    static void TearDownTestSuite()
    {
        s_lists.reset();
        s_work.reset();
    }

    static const LoadedList &load(const QString &file)
    {
        LoadedList &entry = (*s_lists)[file];
        if (!entry.loaded) {
            entry.loaded = true;
            MbmImageList &list = *entry.list;
            list.ToolName = QStringLiteral(VELMORA_BMCONV);
            list.WorkFolder = s_work->path();
            QStringList *messages = &entry.messages;
            list.OnMessage = [messages](const QString &, const QString &text) {
                messages->append(text);
            };
            if (auto result = list.LoadFromMBM(dataPath(file)); !result)
                entry.messages.append(result.error().message);
        }
        return entry;
    }

    static inline std::unique_ptr<QTemporaryDir> s_work;
    static inline std::unique_ptr<std::map<QString, LoadedList>> s_lists;
};

struct IconFile
{
    const char *file;
    int minimumIcons; // the icon numbers the screens draw
    int exactIcons;   // 0: any count from the minimum up
};

void PrintTo(const IconFile &file, std::ostream *os)
{
    *os << file.file;
}

class IconFiles : public InstalledIcons, public ::testing::WithParamInterface<IconFile>
{
protected:
    const MbmImageList &list()
    {
        const LoadedList &entry = load(QString::fromLatin1(GetParam().file));
        EXPECT_TRUE(entry.messages.isEmpty()) << entry.messages.join(u'\n').toStdString();
        return *entry.list;
    }
};

int grey(QRgb pixel)
{
    return qGray(pixel);
}

bool isGrey(QRgb pixel)
{
    return qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel);
}

QByteArray pixelBytes(const QImage &image)
{
    const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
    QByteArray bytes;
    for (int y = 0; y < rgb.height(); ++y)
        bytes.append(reinterpret_cast<const char *>(rgb.constScanLine(y)), rgb.width() * 4);
    return bytes;
}

} // namespace

TEST_P(IconFiles, LoadWithTheCountTheScreensNeed)
{
    const MbmImageList &icons = list();
    const IconFile &file = GetParam();
    ASSERT_EQ(icons.Count() % 2, 0) << "an icon without its mask";
    EXPECT_GE(icons.Count(), 2 * file.minimumIcons);
    if (file.exactIcons > 0) {
        EXPECT_EQ(icons.Count(), 2 * file.exactIcons);
    }
}

TEST_P(IconFiles, AreSixteenPixelPicturesWithGreyMasksOfTheirSize)
{
    const MbmImageList &icons = list();
    ASSERT_GT(icons.Count(), 0);
    EXPECT_EQ(icons.Width(), 16);
    EXPECT_EQ(icons.Height(), 16);
    for (int i = 0; i + 1 < icons.Count(); i += 2) {
        SCOPED_TRACE(testing::Message() << "icon " << i);
        const MbmItem &picture = icons.Get(i);
        const MbmItem &mask = icons.Get(i + 1);
        EXPECT_EQ(picture.Bitmap.size(), QSize(16, 16));
        EXPECT_EQ(mask.Bitmap.size(), picture.Bitmap.size());
        EXPECT_EQ(picture.ColourMode, QStringLiteral("24 Bpp Colour"));
        // Only this mode makes the mask's white the icon and its greys soft edges.
        EXPECT_EQ(mask.ColourMode, QStringLiteral("8 Bpp Monochrome"));
    }
}

TEST_P(IconFiles, EveryMaskShowsAPictureAndLetsTheGroundThrough)
{
    const MbmImageList &icons = list();
    for (int i = 0; i + 1 < icons.Count(); i += 2) {
        SCOPED_TRACE(testing::Message() << "icon " << i);
        const QImage mask = icons.Get(i + 1).Bitmap.convertToFormat(QImage::Format_RGB32);
        int solid = 0, clear = 0;
        for (int y = 0; y < mask.height(); ++y)
            for (int x = 0; x < mask.width(); ++x) {
                const QRgb m = mask.pixel(x, y);
                ASSERT_TRUE(isGrey(m)) << "mask pixel " << x << "," << y << " is coloured";
                solid += grey(m) >= 240;
                clear += grey(m) == 0;
            }
        EXPECT_GE(solid, 20) << "hardly anything of the icon would show";
        EXPECT_GE(clear, 1) << "the icon would hide the ground as a square";

        // Drawn through its mask onto a ground no icon uses, it changes the ground where the mask
        // is solid and leaves it where the mask is clear.
        const QRgb ground = qRgb(232, 9, 240);
        QImage canvas(16, 16, QImage::Format_RGB32);
        canvas.fill(ground);
        icons.DrawMasked(canvas, 0, 0, i);
        int shown = 0, kept = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const bool changed = canvas.pixel(x, y) != ground;
                shown += changed && grey(mask.pixel(x, y)) >= 240;
                kept += !changed && grey(mask.pixel(x, y)) == 0;
            }
        EXPECT_EQ(shown, solid);
        EXPECT_EQ(kept, clear);
    }
}

TEST_P(IconFiles, HoldNoPictureTwice)
{
    const MbmImageList &icons = list();
    QHash<QByteArray, int> seen;
    for (int i = 0; i + 1 < icons.Count(); i += 2) {
        const QByteArray key =
            pixelBytes(icons.Get(i).Bitmap) + pixelBytes(icons.Get(i + 1).Bitmap);
        EXPECT_FALSE(seen.contains(key)) << "icon " << i << " repeats icon " << seen.value(key);
        seen.insert(key, i);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Resources, IconFiles,
    ::testing::Values(IconFile{"ICQ/Status.mbm", 32, 32}, IconFile{"ICQ/XStatus.mbm", 37, 37},
                      IconFile{"ICQ/Clients.mbm", 43, 43}, IconFile{"Icons/pricons.mbm", 48, 48},
                      IconFile{"ICQ/PStatus.mbm", 3, 0}, IconFile{"Smilies/default.mbm", 25, 0}));

TEST_F(InstalledIcons, StatusBadgesLeaveTheFlowerVisible)
{
    // Icons 0..22 are drawn over the online flower (icon 24): they may only cover its
    // bottom-right corner.
    const LoadedList &entry = load(QStringLiteral("ICQ/Status.mbm"));
    ASSERT_TRUE(entry.messages.isEmpty());
    const MbmImageList &icons = *entry.list;
    ASSERT_GE(icons.Count(), 50);
    for (int badge = 0; badge <= 22; badge += 2) {
        const QImage mask = icons.Get(badge + 1).Bitmap.convertToFormat(QImage::Format_RGB32);
        int covered = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                covered += (x < 6 || y < 6) && grey(mask.pixel(x, y)) != 0;
        EXPECT_EQ(covered, 0) << "badge " << badge << " covers the flower's petals";
    }
    // The flower itself is a full-size picture.
    const QImage flower = icons.Get(25).Bitmap.convertToFormat(QImage::Format_RGB32);
    int solid = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            solid += grey(flower.pixel(x, y)) >= 240;
    EXPECT_GE(solid, 120);
}

TEST_F(InstalledIcons, SmileyListPairsLineForLineWithItsPictures)
{
    const QStringList lines = smileyLines();
    EXPECT_GE(lines.size(), 25);
    EXPECT_LE(lines.size(), 40);
    EXPECT_FALSE(lines.last().isEmpty()) << "a final line break adds an empty smiley";
    const LoadedList &entry = load(QStringLiteral("Smilies/default.mbm"));
    ASSERT_TRUE(entry.messages.isEmpty()) << entry.messages.join(u'\n').toStdString();
    EXPECT_EQ(entry.list->Count(), 2 * lines.size());
}

TEST(SmileyList, IsCrLfTextWithTheCommonCodes)
{
    const QByteArray bytes = readData(QStringLiteral("Smilies/default.ini"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "a line ends without CR LF";
    EXPECT_EQ(bytes.count('\r'), bytes.count("\r\n"));

    QSet<QString> codes;
    for (const QString &line : smileyLines())
        for (const QString &code : line.split(u','))
            codes.insert(code);
    for (const char *common : {":-)", ":)", ";-)", ":-(", ":-D", ":-P", "8-)", ":-O", ":-*"})
        EXPECT_TRUE(codes.contains(QString::fromLatin1(common))) << common;
}

TEST(SmileyList, EveryCodeCanBeReached)
{
    // The chat draws the code that starts first and, at equal starts, the one listed first. A
    // code listed after a prefix of itself, or twice, would never be drawn.
    const QStringList lines = smileyLines();
    QStringList earlier;
    for (int i = 0; i < lines.size(); ++i) {
        for (const QString &code : lines[i].split(u',')) {
            SCOPED_TRACE(testing::Message() << "line " << i + 1 << ": " << code.toStdString());
            EXPECT_FALSE(code.isEmpty()) << "an empty code";
            EXPECT_EQ(code.trimmed(), code) << "padded code";
            // The program adds these itself; the chat markup must not collide with them.
            EXPECT_FALSE(code.contains(QStringLiteral("<~~<")));
            EXPECT_FALSE(code.contains(QStringLiteral("[cover")));
            for (const QString &before : earlier)
                EXPECT_FALSE(code.startsWith(before)) << "hidden by " << before.toStdString();
            earlier << code;
        }
    }
}

TEST(SampleChat, HeaderNamesIconsThatExist)
{
    const QByteArray bytes = readData(QStringLiteral("TextOfChat.txt"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "a line ends without CR LF";
    const QStringList lines = crLfLines(QStringLiteral("TextOfChat.txt"));
    ASSERT_GE(lines.size(), 2);

    const QStringList header = lines[0].split(u',');
    ASSERT_GE(header.size(), 4);
    bool ok = false;
    const int status = header[0].toInt(&ok);
    EXPECT_TRUE(ok && status >= 0 && status <= 21 && status != 19) << "partner is not online";
    // The two icon numbers are drawn as they stand: even numbers inside the lists.
    const int xStatus = header[1].toInt(&ok);
    EXPECT_TRUE(ok && xStatus % 2 == 0 && xStatus >= 0 && xStatus < 74) << xStatus;
    const int client = header[2].toInt(&ok);
    EXPECT_TRUE(ok && client % 2 == 0 && client >= 0 && client < 86) << client;
    EXPECT_FALSE(header.mid(3).join(u',').trimmed().isEmpty());
}

TEST(SampleChat, BodyUsesTheWholeMarkup)
{
    const QStringList lines = crLfLines(QStringLiteral("TextOfChat.txt"));
    ASSERT_GE(lines.size(), 2);
    const QString body = lines.mid(1).join(QStringLiteral("\r\n"));

    QSet<int> colours;
    for (qsizetype at = body.indexOf(QStringLiteral("<~~<color")); at >= 0;
         at = body.indexOf(QStringLiteral("<~~<color"), at + 1)) {
        bool ok = false;
        const int index = body.mid(at + 9, 2).toInt(&ok);
        EXPECT_TRUE(ok && index >= 1 && index <= 20) << "marker at " << at;
        EXPECT_EQ(body.mid(at + 11, 4), QStringLiteral(">~~>")) << "marker at " << at;
        colours.insert(index);
    }
    for (int index : {14, 15, 16, 17})
        EXPECT_TRUE(colours.contains(index)) << "no text in colour index " << index;

    int xStatusCodes = 0;
    for (qsizetype at = body.indexOf(QStringLiteral("<~~<xstatus")); at >= 0;
         at = body.indexOf(QStringLiteral("<~~<xstatus"), at + 1)) {
        bool ok = false;
        const int number = body.mid(at + 11, 2).toInt(&ok);
        EXPECT_TRUE(ok && number >= 1 && number <= 37);
        EXPECT_EQ(body.mid(at + 13, 4), QStringLiteral(">~~>"));
        ++xStatusCodes;
    }
    EXPECT_GE(xStatusCodes, 1);

    for (const char *direction : {"[cover_in]", "[cover_out]", "[cover_out_v]"})
        EXPECT_TRUE(body.contains(QString::fromLatin1(direction))) << direction;

    int smileys = 0;
    for (const QString &line : smileyLines()) {
        const QStringList codes = line.split(u',');
        smileys += std::any_of(codes.begin(), codes.end(),
                               [&](const QString &code) { return body.contains(code); });
    }
    EXPECT_GE(smileys, 3);
}

TEST(SampleContactList, ParsesIntoGroupsWithOneCursor)
{
    const QByteArray bytes = readData(QStringLiteral("CList.example.txt"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_EQ(bytes.count('\n'), bytes.count("\r\n")) << "a line ends without CR LF";

    int groups = 0, contacts = 0, online = 0, offline = 0, cursors = 0, blinking = 0, comments = 0;
    for (const QString &line : crLfLines(QStringLiteral("CList.example.txt"))) {
        SCOPED_TRACE(line.toStdString());
        if (line.isEmpty())
            continue;
        if (line.startsWith(u'#')) {
            ++comments;
            continue;
        }
        if (line.startsWith(QStringLiteral("{group = "))) {
            EXPECT_TRUE(line.endsWith(u'}'));
            ++groups;
            continue;
        }
        ASSERT_GT(groups, 0) << "a contact outside any group";
        const QStringList fields = line.split(u',');
        ASSERT_EQ(fields.size(), 6);
        bool ok = false;
        const int status = fields[1].toInt(&ok);
        EXPECT_TRUE(ok && status >= 0 && status <= 21);
        const int xStatus = fields[2].toInt(&ok);
        EXPECT_TRUE(ok && (xStatus == 255 || (xStatus >= 0 && xStatus <= 36)));
        const int client = fields[3].toInt(&ok);
        EXPECT_TRUE(ok && (client == 255 || (client >= 0 && client <= 42)));
        ++contacts;
        ++(status == 19 ? offline : online);
        cursors += fields[4] != u"0";
        blinking += fields[5] != u"0";
    }
    EXPECT_GE(comments, 1);
    EXPECT_GE(groups, 2);
    EXPECT_GE(online, 1);
    EXPECT_GE(offline, 1);
    EXPECT_EQ(cursors, 1);
    EXPECT_EQ(blinking, 1);
    EXPECT_GT(contacts, groups);
}

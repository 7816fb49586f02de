#include "CliRun.h"

#include "core/Cp1251.h"
#include "core/SkinFile.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "TestFiles.h"

#include <gtest/gtest.h>

namespace {

CliRun run(const QStringList &args)
{
    return runCommandLine(args);
}

class SkinCli : public ::testing::Test
{
protected:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        ASSERT_TRUE(testfiles::write(path(name), bytes));
    }
    QByteArray readFile(const QString &name) const { return testfiles::read(path(name)); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SkinCli, ShowThenWriteReproducesEveryByte)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(static_cast<char>(b));
    SkinData skin;
    for (int i = 0; i < kSlotCount; ++i)
        skin.colours[i] = makeColor(i * 13, 255 - i, i * 7);
    skin.mifName = QStringLiteral("скин.mif");
    skin.copyright = cp1251::decode(all);
    writeFile(QStringLiteral("in.skin"), writeSkin(skin).value());

    const CliRun shown = run({QStringLiteral("skin"), QStringLiteral("show"),
                              path(QStringLiteral("in.skin")), QStringLiteral("--json")});
    ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
    writeFile(QStringLiteral("in.json"), shown.out.toUtf8());
    const CliRun written =
        run({QStringLiteral("skin"), QStringLiteral("write"), path(QStringLiteral("out.skin")),
             QStringLiteral("--json"), path(QStringLiteral("in.json"))});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    EXPECT_EQ(readFile(QStringLiteral("out.skin")), readFile(QStringLiteral("in.skin")));
}

TEST_F(SkinCli, ShowPrintsSlotsAndTexts)
{
    SkinData skin;
    skin.colours.fill(makeColor(0x12, 0xAB, 0x0F));
    skin.mifName = QStringLiteral("x.mif");
    skin.copyright = QStringLiteral("a\r\nb");
    writeFile(QStringLiteral("s.skin"), writeSkin(skin).value());
    const CliRun shown =
        run({QStringLiteral("skin"), QStringLiteral("show"), path(QStringLiteral("s.skin"))});
    ASSERT_EQ(shown.code, 0);
    const QStringList lines = shown.out.split(u'\n');
    EXPECT_EQ(lines[0], QStringLiteral("0 #12AB0F ник контакта"));
    EXPECT_EQ(lines[19], QStringLiteral("19 #12AB0F резерв3"));
    EXPECT_EQ(lines[20], QStringLiteral("mif: x.mif"));
    EXPECT_EQ(lines[21], QStringLiteral("copyright: a"));
    EXPECT_EQ(lines[22], QStringLiteral("b"));
}

TEST_F(SkinCli, WriteFillsMissingKeysWithDefaults)
{
    writeFile(QStringLiteral("part.json"), R"({"colors": ["#010203", "#A0b0C0"]})");
    const CliRun written =
        run({QStringLiteral("skin"), QStringLiteral("write"), path(QStringLiteral("p.skin")),
             QStringLiteral("--json"), path(QStringLiteral("part.json"))});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    const auto skin = readSkin(readFile(QStringLiteral("p.skin")), QStringLiteral("p.skin"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->colours[0], makeColor(1, 2, 3));
    EXPECT_EQ(skin->colours[1], makeColor(0xA0, 0xB0, 0xC0));
    EXPECT_EQ(skin->colours[2], defaultSlotColour(2));
    EXPECT_EQ(skin->mifName, QStringLiteral("default.mif"));
    EXPECT_EQ(skin->copyright, QString());
}

TEST_F(SkinCli, BadInputIsReportedAndTouchesNothing)
{
    writeFile(QStringLiteral("keep.skin"), "old");
    const struct
    {
        QByteArray json;
        QString expected;
    } cases[] = {{"{not json", QStringLiteral("not a skin description")},
                 {"[1, 2]", QStringLiteral("not an object")},
                 {R"({"colors": ["#010203", "#12345", "#000000"]})", QStringLiteral("colors[1]")},
                 {R"({"colors": "#010203"})", QStringLiteral("\"colors\"")},
                 {R"({"mif": 5})", QStringLiteral("\"mif\"")}};
    for (const auto &c : cases) {
        writeFile(QStringLiteral("bad.json"), c.json);
        const CliRun written =
            run({QStringLiteral("skin"), QStringLiteral("write"), path(QStringLiteral("keep.skin")),
                 QStringLiteral("--json"), path(QStringLiteral("bad.json"))});
        EXPECT_EQ(written.code, 1) << c.json.constData();
        EXPECT_TRUE(written.err.contains(c.expected)) << written.err.toStdString();
        EXPECT_TRUE(written.err.contains(QStringLiteral("bad.json"))) << written.err.toStdString();
        EXPECT_EQ(readFile(QStringLiteral("keep.skin")), QByteArray("old"));
    }
}

TEST_F(SkinCli, TextsASkinFileCannotHoldAreRefusedAndLineBreaksBecomeCrLf)
{
    writeFile(QStringLiteral("keep.skin"), "old");
    writeFile(QStringLiteral("wide.json"), R"({"copyright": "Автор 中😀"})");
    const CliRun refused =
        run({QStringLiteral("skin"), QStringLiteral("write"), path(QStringLiteral("keep.skin")),
             QStringLiteral("--json"), path(QStringLiteral("wide.json"))});
    EXPECT_EQ(refused.code, 2);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("\"copyright\" holds \"中\" (U+4E2D)")))
        << refused.err.toStdString();
    EXPECT_EQ(readFile(QStringLiteral("keep.skin")), QByteArray("old"));

    writeFile(QStringLiteral("lines.json"), R"({"copyright": "Первая\nвторая\nтретья"})");
    const CliRun written =
        run({QStringLiteral("skin"), QStringLiteral("write"), path(QStringLiteral("l.skin")),
             QStringLiteral("--json"), path(QStringLiteral("lines.json"))});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    const auto skin = readSkin(readFile(QStringLiteral("l.skin")), QStringLiteral("l.skin"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->copyright, QStringLiteral("Первая\r\nвторая\r\nтретья"));
}

TEST_F(SkinCli, TruncatedOrMissingSkinNamesTheFile)
{
    writeFile(QStringLiteral("cut.skin"), QByteArray(61, '\0'));
    const CliRun cut =
        run({QStringLiteral("skin"), QStringLiteral("show"), path(QStringLiteral("cut.skin"))});
    EXPECT_EQ(cut.code, 1);
    EXPECT_TRUE(cut.err.contains(path(QStringLiteral("cut.skin"))));
    EXPECT_TRUE(cut.err.contains(QStringLiteral("MIF file name")));
    EXPECT_TRUE(cut.out.isEmpty());
    const CliRun missing =
        run({QStringLiteral("skin"), QStringLiteral("show"), path(QStringLiteral("no.skin"))});
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(path(QStringLiteral("no.skin"))));
    // A device is refused at once, not read until memory runs out.
    const CliRun device =
        run({QStringLiteral("skin"), QStringLiteral("show"), QStringLiteral("/dev/zero")});
    EXPECT_EQ(device.code, 1);
    EXPECT_EQ(device.err, QStringLiteral("velmora-cli: /dev/zero: not a regular file\n"));
}

// A skin from anyone must not drive the terminal: escape sequences in its texts are shown, not
// obeyed; JSON escapes them as JSON does.
TEST_F(SkinCli, ShowNeverSendsTheFilesControlCharactersToTheTerminal)
{
    SkinData skin;
    skin.mifName = QStringLiteral("evil\x1b]0;owned\x07.mif");
    skin.copyright = QStringLiteral("a\x1b[31mred\r\nline\x7f"
                                    "2");
    writeFile(QStringLiteral("evil.skin"), writeSkin(skin).value());

    const CliRun text =
        run({QStringLiteral("skin"), QStringLiteral("show"), path(QStringLiteral("evil.skin"))});
    ASSERT_EQ(text.code, 0) << text.err.toStdString();
    for (const QChar c : text.out)
        EXPECT_TRUE(c == u'\n' || (c.unicode() >= 0x20 && c.unicode() != 0x7f &&
                                   (c.unicode() < 0x80 || c.unicode() > 0x9f)))
            << "U+" << std::hex << unsigned(c.unicode());
    EXPECT_TRUE(text.out.contains(QStringLiteral("mif: evil\\x1b]0;owned\\x07.mif\n")));
    EXPECT_TRUE(text.out.contains(QStringLiteral("copyright: a\\x1b[31mred\nline\\x7f2")));

    const CliRun json = run({QStringLiteral("skin"), QStringLiteral("show"),
                             path(QStringLiteral("evil.skin")), QStringLiteral("--json")});
    ASSERT_EQ(json.code, 0);
    EXPECT_FALSE(json.out.contains(QChar(0x1b)));
    EXPECT_TRUE(json.out.contains(QStringLiteral("evil\\u001b]0;owned\\u0007.mif")));
    EXPECT_EQ(QJsonDocument::fromJson(json.out.toUtf8()).object().value(u"mif").toString(),
              skin.mifName);
}

TEST(Cli, UsageErrorsExitWithTwo)
{
    EXPECT_EQ(run({}).code, 2);
    EXPECT_EQ(run({QStringLiteral("paint")}).code, 2);
    const CliRun noFile = run({QStringLiteral("skin"), QStringLiteral("show")});
    EXPECT_EQ(noFile.code, 2);
    EXPECT_TRUE(noFile.err.contains(QStringLiteral("which skin?"))) << noFile.err.toStdString();
    EXPECT_EQ(run({QStringLiteral("skin"), QStringLiteral("write"), QStringLiteral("a.skin")}).code,
              2);
    const CliRun help = run({QStringLiteral("skin"), QStringLiteral("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(QStringLiteral("skin write OUT.skin --json IN.json")));
}

// A misspelt option is an error, never a file name, and "--" lets a file start with '-'.
TEST_F(SkinCli, OptionsAreKnownOrRefusedAndDoubleDashEndsThem)
{
    writeFile(QStringLiteral("-dash.skin"), writeSkin(SkinData{}).value());
    const QString dashed = QStringLiteral("-dash.skin");
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(m_dir.path()));
    const CliRun shown = run({QStringLiteral("skin"), QStringLiteral("show"), QStringLiteral("--"),
                              dashed, QStringLiteral("--json")});
    EXPECT_EQ(shown.code, 2) << "after --, even --json is a file name";
    EXPECT_TRUE(shown.err.contains(QStringLiteral("one skin at a time")))
        << shown.err.toStdString();
    const CliRun json = run({QStringLiteral("skin"), QStringLiteral("show"),
                             QStringLiteral("--json"), QStringLiteral("--"), dashed});
    EXPECT_EQ(json.code, 0) << json.err.toStdString();
    EXPECT_TRUE(json.out.contains(QStringLiteral("\"colors\"")));
    QDir::setCurrent(previous);

    const QList<QStringList> misspelt = {
        {QStringLiteral("skin"), QStringLiteral("show"), QStringLiteral("a.skin"),
         QStringLiteral("--jsn")},
        {QStringLiteral("mif"), QStringLiteral("show"), QStringLiteral("a.mif"),
         QStringLiteral("-x")},
        {QStringLiteral("sis"), QStringLiteral("show"), QStringLiteral("a.sis"),
         QStringLiteral("--jsn")},
        {QStringLiteral("sis"), QStringLiteral("verify"), QStringLiteral("-q"),
         QStringLiteral("a.sis")},
    };
    for (const QStringList &args : misspelt) {
        const CliRun r = run(args);
        EXPECT_EQ(r.code, 2) << args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("unknown option \"") + args[args.size() - 1]) ||
                    r.err.contains(QStringLiteral("unknown option \"-q\"")))
            << r.err.toStdString();
    }
}

// A description or palette is a few kilobytes: a large file is refused before it is read, as a
// failure to read (1), not as a description the skin cannot hold (2).
TEST_F(SkinCli, OversizedDescriptionsAreRefusedUnreadWithExitOne)
{
    writeFile(QStringLiteral("keep.skin"), "old");
    QFile big(path(QStringLiteral("big.json")));
    ASSERT_TRUE(big.open(QIODevice::WriteOnly));
    ASSERT_TRUE(big.resize(168LL * 1024 * 1024)); // sparse: no disk taken
    big.close();
    ASSERT_TRUE(QFile::copy(path(QStringLiteral("big.json")), path(QStringLiteral("big.gpl"))));
    for (const char *format : {"--json", "--gpl"}) {
        const QString input = path(format == QByteArray("--json") ? QStringLiteral("big.json")
                                                                  : QStringLiteral("big.gpl"));
        const CliRun written =
            run({QStringLiteral("skin"), QStringLiteral("write"), path(QStringLiteral("keep.skin")),
                 QLatin1String(format), input});
        EXPECT_EQ(written.code, 1) << format;
        EXPECT_TRUE(written.err.contains(input)) << written.err.toStdString();
        EXPECT_EQ(readFile(QStringLiteral("keep.skin")), QByteArray("old"));
    }
    const CliRun exported =
        runCommandLine({QStringLiteral("export"), QStringLiteral("-o"), path(QStringLiteral("out")),
                        QStringLiteral("--name"), QStringLiteral("k"), QStringLiteral("--json"),
                        path(QStringLiteral("big.json"))});
    EXPECT_NE(exported.code, 0);
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("out"))));
}

// A skin file longer than any skin is read alike by every command: its colours and texts, the
// rest ignored.
TEST_F(SkinCli, EveryCommandReadsTheSamePartOfALongSkin)
{
    SkinData skin;
    skin.colours[0] = makeColor(9, 8, 7);
    skin.mifName = QStringLiteral("long.mif");
    const auto bytes = writeSkin(skin);
    ASSERT_TRUE(bytes.has_value());
    writeFile(QStringLiteral("long.skin"), *bytes);
    QFile file(path(QStringLiteral("long.skin")));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(300LL * 1024 * 1024)); // past the old 256 MB refusal, sparse
    file.close();
    const CliRun shown = run({QStringLiteral("skin"), QStringLiteral("show"),
                              path(QStringLiteral("long.skin")), QStringLiteral("--json")});
    EXPECT_EQ(shown.code, 0) << shown.err.toStdString();
    EXPECT_TRUE(shown.out.contains(QStringLiteral("#090807"))) << shown.out.toStdString();
}

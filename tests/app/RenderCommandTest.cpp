#include "CliRun.h"
#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "containers/PictureCodecs.h"
#include "preview/ColourVision.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>

namespace {

// One program folder for the suite; the command reads its resources from there.
class RenderCli : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_error = ProgramFolderFixture::create(s_dir->path());
        setCliProgramFolder(s_dir->path() + u'/');
    }
    static void TearDownTestSuite()
    {
        setCliProgramFolder(QString());
        delete s_dir;
    }
    void SetUp() override { ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString(); }

    int run(QStringList args)
    {
        args.prepend(QStringLiteral("render"));
        const CliRun result = runCommandLine(args);
        err = result.err;
        return result.code;
    }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    QJsonObject regions(const QString &name) const
    {
        return QJsonDocument::fromJson(testfiles::read(path(name))).object();
    }

    static std::set<int> slotsOf(const QJsonObject &json)
    {
        std::set<int> result;
        for (const QJsonValue &region : json.value(u"regions").toArray())
            result.insert(region.toObject().value(u"slot").toInt());
        return result;
    }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString s_error;
    QTemporaryDir m_dir;
    QString err;
};

} // namespace

TEST_F(RenderCli, SameOptionsGiveTheSamePicture)
{
    const QStringList options = {QStringLiteral("--seed"), QStringLiteral("4"),
                                 QStringLiteral("--time"), QStringLiteral("9:30")};
    ASSERT_EQ(run(QStringList{QStringLiteral("-o"), path(QStringLiteral("a.png"))} + options), 0)
        << err.toStdString();
    ASSERT_EQ(run(QStringList{QStringLiteral("-o"), path(QStringLiteral("b.png"))} + options), 0);
    EXPECT_EQ(testfiles::read(path(QStringLiteral("a.png"))),
              testfiles::read(path(QStringLiteral("b.png"))));
    const auto picture =
        decodePng(testfiles::read(path(QStringLiteral("a.png"))), QStringLiteral("a"));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(240, 320));
}

// --simulate filters the picture only: the regions are those of the skin's own colours.
TEST_F(RenderCli, SimulatedColourVisionFiltersThePictureOnly)
{
    const QStringList options = {QStringLiteral("--seed"), QStringLiteral("4"),
                                 QStringLiteral("--time"), QStringLiteral("9:30"),
                                 QStringLiteral("--menu"), QStringLiteral("left")};
    ASSERT_EQ(run(QStringList{QStringLiteral("-o"), path(QStringLiteral("plain.png")),
                              QStringLiteral("--regions"), path(QStringLiteral("plain.json"))} +
                  options),
              0)
        << err.toStdString();
    ASSERT_EQ(run(QStringList{QStringLiteral("-o"), path(QStringLiteral("deutan.png")),
                              QStringLiteral("--regions"), path(QStringLiteral("deutan.json")),
                              QStringLiteral("--simulate"), QStringLiteral("deutan")} +
                  options),
              0)
        << err.toStdString();
    const auto plain = decodePng(testfiles::read(path(QStringLiteral("plain.png"))), {});
    const auto deutan = decodePng(testfiles::read(path(QStringLiteral("deutan.png"))), {});
    ASSERT_TRUE(plain && deutan);
    EXPECT_NE(*plain, *deutan);
    EXPECT_EQ(*deutan, simulateColourVision(*plain, ColourVision::Deuteranopia));
    EXPECT_EQ(regions(QStringLiteral("plain.json")), regions(QStringLiteral("deutan.json")));

    EXPECT_EQ(run({QStringLiteral("-o"), path(QStringLiteral("x.png")),
                   QStringLiteral("--simulate"), QStringLiteral("colourblind")}),
              2);
    EXPECT_TRUE(err.contains(QStringLiteral("expected protan, deutan, tritan or achroma")))
        << err.toStdString();
}

TEST_F(RenderCli, RegionsDescribeWhatIsDrawn)
{
    ASSERT_EQ(run({QStringLiteral("-o"), path(QStringLiteral("c.png")), QStringLiteral("--size"),
                   QStringLiteral("176x208"), QStringLiteral("--regions"),
                   path(QStringLiteral("c.json")), QStringLiteral("--seed"), QStringLiteral("1")}),
              0)
        << err.toStdString();
    const QJsonObject json = regions(QStringLiteral("c.json"));
    EXPECT_EQ(json.value(u"width").toInt(), 176);
    EXPECT_EQ(json.value(u"height").toInt(), 208);
    const std::set<int> contactSlots = slotsOf(json);
    for (int slot : {0, 2, 3, 4, 5})
        EXPECT_TRUE(contactSlots.count(slot)) << slot;
    for (const QJsonValue &region : json.value(u"regions").toArray()) {
        for (const QJsonValue &rect : region.toObject().value(u"rects").toArray()) {
            const QJsonArray r = rect.toArray();
            EXPECT_LT(r[0].toInt(), r[2].toInt());
            EXPECT_LT(r[1].toInt(), r[3].toInt());
        }
    }

    ASSERT_EQ(
        run({QStringLiteral("-o"), path(QStringLiteral("d.png")), QStringLiteral("--screen"),
             QStringLiteral("chat"), QStringLiteral("--regions"), path(QStringLiteral("d.json"))}),
        0)
        << err.toStdString();
    const std::set<int> chatSlots = slotsOf(regions(QStringLiteral("d.json")));
    EXPECT_TRUE(chatSlots.count(13)) << "the partner's coloured line";
    EXPECT_TRUE(chatSlots.count(11)) << "the editor text";
    EXPECT_FALSE(chatSlots.count(17)) << "no blinking nicks in a chat";
}

TEST_F(RenderCli, LayersAddTheirSlots)
{
    ASSERT_EQ(run({QStringLiteral("-o"), path(QStringLiteral("e.png")), QStringLiteral("--menu"),
                   QStringLiteral("left"), QStringLiteral("--popup"), QStringLiteral("--regions"),
                   path(QStringLiteral("e.json"))}),
              0)
        << err.toStdString();
    const std::set<int> withLayers = slotsOf(regions(QStringLiteral("e.json")));
    for (int slot : {6, 7, 8, 9})
        EXPECT_TRUE(withLayers.count(slot)) << slot;
}

TEST_F(RenderCli, BadOptionsAreRefusedWithAReason)
{
    const struct
    {
        QStringList args;
        QString reason;
    } cases[] = {
        {{QStringLiteral("--seed"), QStringLiteral("1")}, QStringLiteral("-o OUT.png")},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--columns"),
          QStringLiteral("6")},
         QStringLiteral("1..5")},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--size"),
          QStringLiteral("10x10")},
         QStringLiteral("WxH")},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--font-chat"),
          QStringLiteral("Arial")},
         QStringLiteral("Family,points")},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--bogus")},
         QStringLiteral("--bogus")},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--select"),
          QStringLiteral("all")},
         QStringLiteral("slot or element")},
        // Pictures no phone shows.
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--screen"),
          QStringLiteral("settings"), QStringLiteral("--menu"), QStringLiteral("left")},
         QStringLiteral("the settings screen has no menu")},
        {{QStringLiteral("-o"), QStringLiteral("x.png"), QStringLiteral("--menu"),
          QStringLiteral("right"), QStringLiteral("--screen"), QStringLiteral("chat")},
         QStringLiteral("only a left menu")},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(run(c.args), 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(err.contains(c.reason)) << err.toStdString();
        // One line that says what is wrong and where to look, not the whole usage.
        EXPECT_EQ(err.count(u'\n'), 1) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("see velmora-cli render --help")));
    }
    EXPECT_FALSE(QFileInfo::exists(QStringLiteral("x.png")));
    // The left menu over the chat window is a picture the phone shows.
    EXPECT_EQ(run({QStringLiteral("-o"), path(QStringLiteral("c.png")), QStringLiteral("--screen"),
                   QStringLiteral("chat"), QStringLiteral("--menu"), QStringLiteral("left")}),
              0)
        << err.toStdString();
    EXPECT_EQ(run({QStringLiteral("-o"), path(QStringLiteral("f.png")), QStringLiteral("--skin"),
                   path(QStringLiteral("missing.skin"))}),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("missing.skin")));
    EXPECT_FALSE(testfiles::read(path(QStringLiteral("f.png"))).size() > 0);
}

int main(int argc, char **argv)
{
    // Drawing needs fonts, so a GUI application object, but never a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

TEST_F(RenderCli, ASettingsFileGivesTheScreenAndTheCommandLineChangesItFurther)
{
    const QString settings = path(QStringLiteral("Settings.cfg"));
    // A model this folder does not have: the typed size applies, as in the window.
    ASSERT_TRUE(testfiles::write(settings, "{ PreviewDesktop }\r\n320\r\n240\r\n1\r\nNo such\r\n"
                                           "{ PreviewColumns }\r\nmany\r\n"));
    const QString out = path(QStringLiteral("s.png"));
    ASSERT_EQ(run({QStringLiteral("-o"), out, QStringLiteral("--settings"), settings}), 0)
        << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("{ PreviewColumns }"))) << err.toStdString();
    auto picture = decodePng(testfiles::read(out), out);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->size(), QSize(320, 240));

    ASSERT_EQ(run({QStringLiteral("--size"), QStringLiteral("200x300"), QStringLiteral("-o"), out,
                   QStringLiteral("--settings"), settings}),
              0)
        << err.toStdString();
    picture = decodePng(testfiles::read(out), out);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->size(), QSize(200, 300));

    EXPECT_EQ(run({QStringLiteral("-o"), out, QStringLiteral("--settings"),
                   path(QStringLiteral("missing.cfg"))}),
              1);
    EXPECT_TRUE(err.contains(QStringLiteral("missing.cfg"))) << err.toStdString();
}

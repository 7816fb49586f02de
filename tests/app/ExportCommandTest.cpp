#include "CliRun.h"
#include "TestFiles.h"
#include "export/SaveSkin.h"
#include "platform/WritablePlaces.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The build's program folder has the converter, the package tools and the default pictures.
class ExportCli : public ::testing::Test
{
protected:
    void SetUp() override { setCliProgramFolder(QStringLiteral(VELMORA_PROGRAM_DIR "/")); }
    void TearDown() override { setCliProgramFolder(QString()); }

    CliRun run(QStringList args)
    {
        args.prepend(QStringLiteral("export"));
        return runCommandLine(args);
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QStringList files(const QString &folder) const
    {
        return QDir(path(folder)).entryList(QDir::Files, QDir::Name);
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST_F(ExportCli, APackageThatVerifiesAgainstTheShippedCertificate)
{
    const CliRun made =
        run({QStringLiteral("-o"), path(QStringLiteral("out")), QStringLiteral("--name"),
             QStringLiteral("myskin"), QStringLiteral("--symbian"), QStringLiteral("9.1")});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_EQ(made.out, path(QStringLiteral("out/myskin.sis")) + u'\n');
    EXPECT_EQ(files(QStringLiteral("out")), QStringList{QStringLiteral("myskin.sis")});
    const CliRun verified = runCommandLine(
        {QStringLiteral("sis"), QStringLiteral("verify"), path(QStringLiteral("out/myskin.sis")),
         QStringLiteral(VELMORA_PROGRAM_DIR "/cert/Velmora.cer")});
    EXPECT_EQ(verified.code, 0) << verified.err.toStdString() << verified.out.toStdString();
    const CliRun shown = runCommandLine(
        {QStringLiteral("sis"), QStringLiteral("show"), path(QStringLiteral("out/myskin.sis"))});
    for (const char *file : {"myskin.mif", "myskin.skin", "myskin.mbm"})
        EXPECT_TRUE(shown.out.contains(QStringLiteral("!:\\System\\Apps\\tolvoICQ\\skins\\") +
                                       QLatin1String(file)))
            << file;
    EXPECT_TRUE(shown.out.contains(QStringLiteral("Tolvo MYSKIN")));
}

TEST_F(ExportCli, NamesComeFromTheSkinFileOrMustBeGiven)
{
    const CliRun unnamed = run({QStringLiteral("-o"), path(QStringLiteral("a"))});
    EXPECT_EQ(unnamed.code, 2);
    EXPECT_TRUE(unnamed.err.contains(QStringLiteral("--name")));

    ASSERT_EQ(run({QStringLiteral("-o"), path(QStringLiteral("a")), QStringLiteral("--kind"),
                   QStringLiteral("skin"), QStringLiteral("--name"), QStringLiteral("blue")})
                  .code,
              0);
    const CliRun fromSkin = run({QStringLiteral("-o"), path(QStringLiteral("b")),
                                 QStringLiteral("--kind"), QStringLiteral("skin+mif"),
                                 QStringLiteral("--skin"), path(QStringLiteral("a/blue.skin")),
                                 QStringLiteral("--copyright"), QStringLiteral("(c) 2026")});
    ASSERT_EQ(fromSkin.code, 0) << fromSkin.err.toStdString();
    EXPECT_EQ(files(QStringLiteral("b")),
              (QStringList{QStringLiteral("blue.mif"), QStringLiteral("blue.skin")}));
    const CliRun shown = runCommandLine(
        {QStringLiteral("skin"), QStringLiteral("show"), path(QStringLiteral("b/blue.skin"))});
    EXPECT_TRUE(shown.out.contains(QStringLiteral("copyright: (c) 2026")))
        << shown.out.toStdString();
}

TEST_F(ExportCli, RefusedNamesAndBadOptionsWriteNothing)
{
    const struct
    {
        QStringList args;
        QString says;
    } cases[] = {
        {{QStringLiteral("--name"), QStringLiteral("Default")},
         QStringLiteral("Введите корректное имя!")},
        {{QStringLiteral("--name"), QStringLiteral("скин")}, QStringLiteral("символы кириллицы")},
        {{QStringLiteral("--name"), QStringLiteral("x"), QStringLiteral("--bg-quality"),
          QStringLiteral("0")},
         QStringLiteral("1..100")},
        {{QStringLiteral("--name"), QStringLiteral("x"), QStringLiteral("--kind"),
          QStringLiteral("zip")},
         QStringLiteral("skin+mif")},
        {{QStringLiteral("--name"), QStringLiteral("x"), QStringLiteral("--skin-name"),
          QStringLiteral("y.skin")},
         QStringLiteral("--name or")},
    };
    for (const auto &c : cases) {
        const CliRun result =
            run(QStringList{QStringLiteral("-o"), path(QStringLiteral("none"))} + c.args);
        EXPECT_EQ(result.code, 2) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(result.err.contains(c.says)) << result.err.toStdString();
    }
    EXPECT_FALSE(QDir(path(QStringLiteral("none"))).exists());
}

// One implementation: the command writes what the save itself writes for the same inputs.
TEST_F(ExportCli, WritesTheSameBytesAsTheSaveItself)
{
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("in.json")),
                                 R"({"colors": ["#102030", "#405060"], "copyright": "me"})"));
    const CliRun made =
        run({QStringLiteral("-o"), path(QStringLiteral("cli")), QStringLiteral("--kind"),
             QStringLiteral("skin+mif"), QStringLiteral("--json"), path(QStringLiteral("in.json")),
             QStringLiteral("--skin-name"), QStringLiteral("s.skin"), QStringLiteral("--mif-name"),
             QStringLiteral("p"), QStringLiteral("--bg-format"), QStringLiteral("png"),
             QStringLiteral("--cursor-quality"), QStringLiteral("35")});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();

    SkinDocument document;
    // The program's default pictures, as the command takes them.
    ASSERT_TRUE(document.importBackground(QStringLiteral(VELMORA_PROGRAM_DIR "/default_back.jpg")));
    ASSERT_TRUE(document.importCursor(QStringLiteral(VELMORA_PROGRAM_DIR "/default_cursor.jpg")));
    document.setSlotColour(0, makeColor(0x10, 0x20, 0x30));
    document.setSlotColour(1, makeColor(0x40, 0x50, 0x60));
    platform::ScratchFolder scratch;
    SaveEnvironment env{QStringLiteral(VELMORA_PROGRAM_DIR "/"), scratch.path(), {}, {}};
    SaveRequest request;
    request.kind = OutputKind::SkinAndMif;
    request.skinName = QStringLiteral("s.skin");
    request.mifName = QStringLiteral("p");
    request.copyright = QStringLiteral("me");
    request.background.format = PictureFormat::Png;
    request.cursor.quality = 35;
    request.folder = path(QStringLiteral("direct"));
    ASSERT_TRUE(saveSkin(document, request, env));
    for (const char *name : {"s.skin", "p.mif"}) {
        const QString file = QLatin1String(name);
        EXPECT_EQ(testfiles::read(path(QStringLiteral("cli/") + file)),
                  testfiles::read(path(QStringLiteral("direct/") + file)))
            << name;
    }
}

// A skin's own pictures come with its colours, as "Открыть" takes them; the options still
// override them, and a skin whose .mif is gone keeps its colours with a warning.
TEST_F(ExportCli, TheSkinsOwnPicturesComeWithIt)
{
    const QString samples = QStringLiteral(VELMORA_PROGRAM_DIR "/skins/");
    const CliRun made =
        run({QStringLiteral("-o"), path(QStringLiteral("own")), QStringLiteral("--kind"),
             QStringLiteral("mif"), QStringLiteral("--skin"),
             samples + QStringLiteral("aurora.skin"), QStringLiteral("--bg-format"),
             QStringLiteral("jpg"), QStringLiteral("--cursor-format"), QStringLiteral("png")});
    ASSERT_EQ(made.code, 0) << made.err.toStdString();
    EXPECT_TRUE(made.err.isEmpty()) << made.err.toStdString();
    // Unchanged and in their own formats, the pictures keep their bytes.
    const auto picturesOf = [&](const QString &mif, const QString &to) {
        const CliRun extracted = runCommandLine({QStringLiteral("mif"), QStringLiteral("extract"),
                                                 mif, QStringLiteral("-o"), path(to)});
        EXPECT_EQ(extracted.code, 0) << extracted.err.toStdString();
        return std::pair(testfiles::read(path(to + QStringLiteral("/background.jpg"))),
                         testfiles::read(path(to + QStringLiteral("/cursor.png"))));
    };
    const auto original = picturesOf(samples + QStringLiteral("aurora.mif"), QStringLiteral("a"));
    const auto saved = picturesOf(path(QStringLiteral("own/aurora.mif")), QStringLiteral("b"));
    ASSERT_FALSE(original.first.isEmpty());
    EXPECT_TRUE(saved.first == original.first);
    EXPECT_TRUE(saved.second == original.second);

    // Without its .mif: the colours, the program's pictures and one warning.
    ASSERT_TRUE(
        QFile::copy(samples + QStringLiteral("birch.skin"), path(QStringLiteral("birch.skin"))));
    const CliRun alone = run({QStringLiteral("-o"), path(QStringLiteral("alone")),
                              QStringLiteral("--kind"), QStringLiteral("skin+mif"),
                              QStringLiteral("--skin"), path(QStringLiteral("birch.skin"))});
    ASSERT_EQ(alone.code, 0) << alone.err.toStdString();
    EXPECT_EQ(alone.err.count(u'\n'), 1) << alone.err.toStdString();
    EXPECT_TRUE(alone.err.startsWith(QStringLiteral("velmora-cli export: warning: ")))
        << alone.err.toStdString();
    EXPECT_TRUE(alone.err.contains(QStringLiteral("birch.mif")));
}

// Scripts rely on export replacing what is there; --no-clobber refuses instead, whole.
TEST_F(ExportCli, ReplacesExistingFilesUnlessToldNotTo)
{
    const QStringList args = {QStringLiteral("-o"),     path(QStringLiteral("out")),
                              QStringLiteral("--kind"), QStringLiteral("skin+mif"),
                              QStringLiteral("--name"), QStringLiteral("x")};
    ASSERT_EQ(run(args).code, 0);
    ASSERT_TRUE(testfiles::write(path(QStringLiteral("out/x.mif")), "mine"));
    EXPECT_EQ(run(args).code, 0);
    EXPECT_NE(testfiles::read(path(QStringLiteral("out/x.mif"))), "mine");

    ASSERT_TRUE(testfiles::write(path(QStringLiteral("out/x.mif")), "mine"));
    ASSERT_TRUE(QFile::remove(path(QStringLiteral("out/x.skin"))));
    const CliRun refused = run(args + QStringList{QStringLiteral("--no-clobber")});
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(QStringLiteral("x.mif"))) << refused.err.toStdString();
    EXPECT_EQ(testfiles::read(path(QStringLiteral("out/x.mif"))), "mine");
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("out/x.skin")))) << "nothing at all is written";
}

// Names the phone cannot install are refused before anything is written, the message naming
// what is wrong; written paths reach the terminal escaped.
TEST_F(ExportCli, NamesThePhoneCannotTakeAreRefusedAndPathsEscaped)
{
    for (const QString &name : {QStringLiteral("."), QStringLiteral("a:b"), QStringLiteral("a\\b"),
                                QStringLiteral("e\x1b[31m"), QStringLiteral("l\nf")}) {
        const CliRun refused =
            run({QStringLiteral("-o"), path(QStringLiteral("out")), QStringLiteral("--kind"),
                 QStringLiteral("skin"), QStringLiteral("--name"), name});
        EXPECT_EQ(refused.code, 2) << name.toStdString();
        EXPECT_TRUE(refused.err.contains(QStringLiteral("Введите корректное имя!")))
            << refused.err.toStdString();
        EXPECT_FALSE(refused.err.contains(QChar(0x1b))) << refused.err.toStdString();
        EXPECT_TRUE(files(QStringLiteral("out")).isEmpty()) << name.toStdString();
    }
    const CliRun written =
        run({QStringLiteral("-o"), path(QStringLiteral("o\x1b[2Jut")), QStringLiteral("--kind"),
             QStringLiteral("skin"), QStringLiteral("--name"), QStringLiteral("fine")});
    ASSERT_EQ(written.code, 0) << written.err.toStdString();
    EXPECT_EQ(written.out, path(QStringLiteral("o\\x1b[2Jut/fine.skin")) + u'\n');
}

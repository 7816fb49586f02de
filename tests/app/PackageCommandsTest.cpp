#include "CliRun.h"
#include "TestFiles.h"
#include "export/PackageFiles.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// Packages made by the build's own package tools, as the designer saves them.
class Packages : public ::testing::Test
{
protected:
    void SetUp() override { setCliProgramFolder(QStringLiteral(VELMORA_PROGRAM_DIR "/")); }
    void TearDown() override { setCliProgramFolder(QString()); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    // A skin with its own colours written as .skin + .mif into "plain" and as a signed .sis.
    QString makePackage()
    {
        testfiles::write(path(QStringLiteral("in.json")),
                         "{\"colors\": [\"#102030\", \"#405060\"], \"copyright\": \"(c) test\"}");
        for (const QString &kind : {QStringLiteral("skin+mif"), QStringLiteral("sis")}) {
            const CliRun made = runCommandLine(
                {QStringLiteral("export"), QStringLiteral("-o"),
                 path(kind == u"sis" ? QStringLiteral("pkg") : QStringLiteral("plain")),
                 QStringLiteral("--kind"), kind, QStringLiteral("--json"),
                 path(QStringLiteral("in.json")), QStringLiteral("--name"),
                 QStringLiteral("roundtrip"), QStringLiteral("--symbian"), QStringLiteral("9.1")});
            EXPECT_EQ(made.code, 0) << made.err.toStdString();
        }
        return path(QStringLiteral("pkg/roundtrip.sis"));
    }

    static QStringList filesUnder(const QString &folder)
    {
        QStringList found;
        QDirIterator it(folder, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext())
            found.append(QDir(folder).relativeFilePath(it.next()));
        found.sort();
        return found;
    }

    QTemporaryDir m_dir;
};

} // namespace

TEST(PackageTargets, StayInsideTheFolderTheyAreTakenInto)
{
    EXPECT_EQ(extractedPath(QStringLiteral("!:\\resource\\skins\\a.skin")).value_or(QString()),
              QStringLiteral("resource/skins/a.skin"));
    EXPECT_EQ(extractedPath(QStringLiteral("c:\\data\\b.mif")).value_or(QString()),
              QStringLiteral("data/b.mif"));
    for (const char *target :
         {"!:\\resource\\..\\..\\etc\\passwd", "\\resource\\a.skin", "resource\\a.skin",
          "!:\\a\\\\b.skin", "!:\\a\\.\\b", "!:\\a/../../b.skin", "/etc/passwd", "!:"}) {
        const auto refused = extractedPath(QString::fromLatin1(target));
        ASSERT_FALSE(refused.has_value()) << target;
        EXPECT_TRUE(refused.error().message.contains(QString::fromLatin1(target))) << target;
    }
    EXPECT_TRUE(isPackageName(QStringLiteral("x/Skin.SISX")));
    EXPECT_FALSE(isPackageName(QStringLiteral("x.skin")));
}

TEST_F(Packages, ExtractWritesTheFilesByTargetAndTheSkinIsTheSavedOne)
{
    const QString package = makePackage();
    const CliRun extracted =
        runCommandLine({QStringLiteral("sis"), QStringLiteral("extract"), package,
                        QStringLiteral("-o"), path(QStringLiteral("out"))});
    ASSERT_EQ(extracted.code, 0) << extracted.err.toStdString();
    const QStringList files = filesUnder(path(QStringLiteral("out")));
    ASSERT_EQ(extracted.out.count(u'\n'), files.size());
    QString skin;
    for (const QString &file : files) {
        if (file.endsWith(QStringLiteral(".skin")))
            skin = file;
    }
    ASSERT_FALSE(skin.isEmpty()) << files.join(u' ').toStdString();
    // The package's .skin is byte for byte the one a plain save writes.
    EXPECT_EQ(testfiles::read(path(QStringLiteral("out/")) + skin),
              testfiles::read(path(QStringLiteral("plain/roundtrip.skin"))));
    // Opened as a skin, the package gives the same colours and texts, and saved again the
    // same bytes.
    const CliRun shown = runCommandLine(
        {QStringLiteral("export"), QStringLiteral("-o"), path(QStringLiteral("again")),
         QStringLiteral("--kind"), QStringLiteral("skin"), QStringLiteral("--skin"), package});
    ASSERT_EQ(shown.code, 0) << shown.err.toStdString();
    EXPECT_EQ(testfiles::read(path(QStringLiteral("again/roundtrip.skin"))),
              testfiles::read(path(QStringLiteral("plain/roundtrip.skin"))));
}

TEST_F(Packages, ABrokenPackageIsRefusedAndNothingIsWritten)
{
    const QString package = makePackage();
    QByteArray bytes = testfiles::read(package);
    // A byte of the stored files changed: the hash no longer matches.
    bytes[bytes.size() - 40] = char(bytes[bytes.size() - 40] ^ 0x5A);
    const QString broken = path(QStringLiteral("broken.sis"));
    testfiles::write(broken, bytes);
    const CliRun run = runCommandLine({QStringLiteral("sis"), QStringLiteral("extract"), broken,
                                       QStringLiteral("-o"), path(QStringLiteral("out"))});
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(broken)) << run.err.toStdString();
    EXPECT_TRUE(filesUnder(path(QStringLiteral("out"))).isEmpty());
    EXPECT_EQ(runCommandLine({QStringLiteral("sis"), QStringLiteral("extract"), package}).code, 2)
        << "no -o";
    EXPECT_EQ(
        runCommandLine({QStringLiteral("sis"), QStringLiteral("extract"), package,
                        QStringLiteral("-o"), path(QStringLiteral("x")), QStringLiteral("--force")})
            .code,
        2);
}

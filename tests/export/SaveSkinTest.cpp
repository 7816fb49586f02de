#include "export/SaveSkin.h"
#include "TestFiles.h"
#include "containers/MifImageList.h"
#include "containers/SkinImages.h"
#include "core/SkinFile.h"
#include "platform/WritablePlaces.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

// The build's own program folder: bmconv, cert/ with makesis, signsis and the key, about.txt.
const QString kProgram = QStringLiteral(VELMORA_PROGRAM_DIR "/");

QString fromUtf16(const QByteArray &bytes)
{
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE"));
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(bytes.constData() + 2),
                              (bytes.size() - 2) / 2);
}

class Save : public ::testing::Test
{
protected:
    void SetUp() override
    {
        SkinPictures pictures;
        pictures.BackgroundPicture = QImage(240, 320, QImage::Format_RGB32);
        pictures.BackgroundPicture.fill(QColor(10, 120, 200));
        pictures.CursorPicture = QImage(120, 18, QImage::Format_RGB32);
        pictures.CursorPicture.fill(QColor(250, 200, 90));
        pictures.BackgroundSource = pictures.BackgroundPicture;
        pictures.CursorSource = pictures.CursorPicture;
        document.setPictures(pictures);
        env.programFolder = kProgram;
        env.scratchFolder = scratch.path();
        request.folder = out.path();
        request.skinName = QStringLiteral("myskin.skin");
        request.mifName = QStringLiteral("myskin.mif");
    }
    QStringList outFiles() const { return QDir(out.path()).entryList(QDir::Files, QDir::Name); }
    // Everything below the scratch folder but the converter's working folder.
    QStringList scratchLeftovers() const
    {
        QStringList left = QDir(scratch.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        left.removeAll(QStringLiteral("temp"));
        return left;
    }

    SkinDocument document;
    platform::ScratchFolder scratch;
    QTemporaryDir out;
    SaveEnvironment env;
    SaveRequest request;
};

} // namespace

TEST(SkinNames, TheClientsRulesForNames)
{
    for (const char16_t *bad : {u"DEFAULT.MIF",
                                u"Default",
                                u"default.skin",
                                u"мой.skin",
                                u"Ёлка.mif",
                                u"a<b",
                                u"a>b",
                                u"a\"b",
                                u"a/b",
                                u"a|b",
                                u"a\\b.skin",
                                u"c:x.skin",
                                u"a*.mif",
                                u"a?.mif",
                                u"line\nbreak",
                                u"esc\x1b[31m.skin",
                                u"del\x7f",
                                u"c1\x85.skin",
                                u".",
                                u"..",
                                u"..skin",
                                u"...mif"})
        EXPECT_FALSE(IsValidSkinName(QString::fromUtf16(bad)))
            << QString::fromUtf16(bad).toStdString();
    for (const char16_t *good : {u"my skin.skin", u"№1.mif", u"default2.mif", u"defaults",
                                 u"Ωmega.skin", u".hidden.skin", u"a.b.c.mif", u"x..skin"})
        EXPECT_TRUE(IsValidSkinName(QString::fromUtf16(good)))
            << QString::fromUtf16(good).toStdString();
    // The three lines the designer has always shown, and one naming what is wrong.
    const QStringList lines =
        invalidNameMessage(QStringLiteral("a:b")).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], QStringLiteral("Введите корректное имя!"));
    EXPECT_EQ(lines[3], QStringLiteral("Недопустимый символ: «:»"));
    EXPECT_EQ(invalidNameMessage(QStringLiteral("e\x1b.skin")).split(QStringLiteral("\r\n")).last(),
              QStringLiteral("Недопустимый символ: U+001B"));
    EXPECT_TRUE(invalidNameMessage(QStringLiteral("..skin")).endsWith(QStringLiteral("..skin")));
    EXPECT_EQ(packageFileName(QStringLiteral("myskin.skin")), QStringLiteral("myskin.sis"));
}

TEST(PackageTexts, InstallTextWithAndWithoutCopyrights)
{
    SaveRequest request;
    request.skinName = QStringLiteral("my-Skin.skin");
    const QStringList makers = {QStringLiteral("Makers, 2026"), QStringLiteral("E-Mail: a@b")};
    const QByteArray plain = installText(request, makers);
    EXPECT_EQ(fromUtf16(plain),
              QStringLiteral("Вы устанавливаете скин \"MY-SKIN\" для программы TolvoICQ\r\n---\r\n"
                             "Created by program \"Velmora for tolvoICQ\"\r\nMakers, 2026\r\n"
                             "E-Mail: a@b"));
    EXPECT_TRUE(plain.contains(QByteArray("\x12\x04", 2))) << "\"В\" is stored as 12 04";

    request.copyright = QStringLiteral("Я\nline two");
    const QString withCopyright = fromUtf16(installText(request, makers));
    EXPECT_TRUE(withCopyright.contains(
        QStringLiteral("---\r\nCopyrights:\r\nЯ\r\nline two\r\n---\r\nCreated by program")));
    EXPECT_TRUE(installText(request, makers).contains(QByteArray("\x2F\x04", 2)));
    EXPECT_FALSE(withCopyright.endsWith(QStringLiteral("\r\n")));
}

TEST(PackageTexts, DescriptionHasEightLinesOrNineWithABitmap)
{
    SaveRequest request;
    request.skinName = QStringLiteral("myskin.skin");
    request.mifName = QStringLiteral("mySkin.mif");
    const QStringList lines = fromUtf16(packageDescription(request, QStringLiteral("/stage")))
                                  .split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 8);
    EXPECT_EQ(lines[0], QStringLiteral("&EN"));
    EXPECT_EQ(lines[1], QStringLiteral("#{\"Tolvo MYSKIN\"}, (0xEB7A0591), 0, 6, 5, TYPE=SP"));
    EXPECT_EQ(lines[5], QStringLiteral("\"Text(0-0).txt\"-\"\", FT, TC"));
    EXPECT_EQ(
        lines[6],
        QStringLiteral("\"/stage/mySkin.mif\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\mySkin.mif\""));
    EXPECT_EQ(lines[7],
              QStringLiteral(
                  "\"/stage/myskin.skin\"-\"!:\\System\\Apps\\tolvoICQ\\skins\\myskin.skin\""));
    request.cursor.format = PictureFormat::Mbm;
    const QStringList withBitmap = fromUtf16(packageDescription(request, QStringLiteral("/stage/")))
                                       .split(QStringLiteral("\r\n"));
    ASSERT_EQ(withBitmap.size(), 9);
    EXPECT_TRUE(withBitmap[8].endsWith(QStringLiteral("skins\\mySkin.mbm\"")));
}

TEST_F(Save, RefusedNamesAndAMissingFolderWriteNothing)
{
    request.skinName = QStringLiteral("default.skin");
    request.kind = OutputKind::MifOnly; // both names are checked whatever the kind
    auto saved = saveSkin(document, request, env);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().message, invalidNameMessage(QStringLiteral("default.skin")));
    request.skinName = QStringLiteral("fine.skin");
    request.folder = QStringLiteral("  ");
    saved = saveSkin(document, request, env);
    ASSERT_FALSE(saved);
    EXPECT_EQ(saved.error().message, QStringLiteral("Выберите папку для сохранения"));
    EXPECT_TRUE(outFiles().isEmpty());
}

TEST_F(Save, EachKindWritesExactlyItsFiles)
{
    request.kind = OutputKind::SkinOnly;
    ASSERT_TRUE(saveSkin(document, request, env));
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("myskin.skin")});

    QFile::remove(out.filePath(QStringLiteral("myskin.skin")));
    request.kind = OutputKind::MifOnly;
    auto saved = saveSkin(document, request, env);
    ASSERT_TRUE(saved) << saved.error().message.toStdString();
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("myskin.mif")});

    QFile::remove(out.filePath(QStringLiteral("myskin.mif")));
    request.kind = OutputKind::SkinAndMif;
    request.skinName = QStringLiteral("two");
    request.mifName = QStringLiteral("x.MIF");
    request.background.format = PictureFormat::Mbm;
    saved = saveSkin(document, request, env);
    ASSERT_TRUE(saved) << saved.error().message.toStdString();
    EXPECT_EQ(request.skinName, QStringLiteral("two.skin"));
    EXPECT_EQ(request.mifName, QStringLiteral("x.MIF.mif"));
    EXPECT_EQ(outFiles(), (QStringList{QStringLiteral("two.skin"), QStringLiteral("x.MIF.mbm"),
                                       QStringLiteral("x.MIF.mif")}));
    EXPECT_EQ(saved->written.size(), 3);
    // The .skin names the .mif that was written beside it.
    const auto skin = readSkin(testfiles::read(out.filePath(QStringLiteral("two.skin"))), {});
    ASSERT_TRUE(skin);
    EXPECT_EQ(skin->mifName, QStringLiteral("x.MIF.mif"));
    EXPECT_TRUE(scratchLeftovers().isEmpty()) << scratchLeftovers().join(u' ').toStdString();
}

TEST_F(Save, BitmapPicturesGiveAFortyEightByteMifAndTwoBitmaps)
{
    request.kind = OutputKind::MifOnly;
    request.background.format = PictureFormat::Mbm;
    request.cursor.format = PictureFormat::Mbm;
    ASSERT_TRUE(saveSkin(document, request, env));
    EXPECT_EQ(QFileInfo(out.filePath(QStringLiteral("myskin.mif"))).size(), 48);
    MifImageList list;
    list.ToolName = kProgram + QStringLiteral("bmconv");
    list.WorkFolder = scratch.path();
    ASSERT_TRUE(list.LoadFromFile(out.filePath(QStringLiteral("myskin.mif"))));
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.GetEntry(0).Bitmap.size(), QSize(240, 320));
    EXPECT_EQ(list.GetEntry(2).Bitmap.size(), QSize(120, 18));
}

TEST_F(Save, APackageLandsAloneInTheFolder)
{
    request.copyright = QStringLiteral("(c) me");
    auto saved = saveSkin(document, request, env);
    ASSERT_TRUE(saved) << saved.error().message.toStdString();
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("myskin.sis")});
    EXPECT_EQ(saved->written, QStringList{out.filePath(QStringLiteral("myskin.sis"))});
    EXPECT_TRUE(testfiles::read(out.filePath(QStringLiteral("myskin.sis"))).size() > 1000);
    EXPECT_TRUE(scratchLeftovers().isEmpty()) << scratchLeftovers().join(u' ').toStdString();
}

// A package tool that fails must not be taken for success: the older package stays and the user
// reads the tool's own words.
TEST_F(Save, AFailingPackageToolKeepsTheOldPackageAndSaysWhy)
{
    QTemporaryDir program;
    const QString cert = program.filePath(QStringLiteral("cert/"));
    ASSERT_TRUE(testfiles::write(cert + QStringLiteral("makesis"),
                                 "#!/bin/sh\necho 'makesis: line 7: no such file' >&2\nexit 1\n"));
    QFile::setPermissions(cert + QStringLiteral("makesis"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(QFile::copy(kProgram + QStringLiteral("bmconv"),
                            program.filePath(QStringLiteral("bmconv"))));
    env.programFolder = program.path() + u'/';
    ASSERT_TRUE(testfiles::write(out.filePath(QStringLiteral("myskin.sis")), "older package"));
    const auto saved = saveSkin(document, request, env);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(saved.error().message.contains(QStringLiteral("makesis: line 7: no such file")))
        << saved.error().message.toStdString();
    EXPECT_TRUE(saved.error().message.startsWith(QStringLiteral("Не удалось собрать пакет")));
    EXPECT_EQ(testfiles::read(out.filePath(QStringLiteral("myskin.sis"))), "older package");
    EXPECT_TRUE(scratchLeftovers().isEmpty());
}

TEST(MakerLines, ComeFromTheDataFileWithCommentsSkipped)
{
    QTemporaryDir program;
    ASSERT_TRUE(testfiles::write(program.filePath(QStringLiteral("about.txt")),
                                 "# comment\r\n\r\nThe makers, 2026\r\nE-Mail: x@y\r\nextra\r\n"));
    EXPECT_EQ(readMakerLines(program.path() + u'/'),
              (QStringList{QStringLiteral("The makers, 2026"), QStringLiteral("E-Mail: x@y")}));
    const QStringList fallback = readMakerLines(program.path() + QStringLiteral("/missing/"));
    ASSERT_EQ(fallback.size(), 2);
    EXPECT_TRUE(fallback[1].startsWith(QStringLiteral("E-Mail: ")));
    EXPECT_EQ(readMakerLines(kProgram).size(), 2) << "the shipped about.txt is complete";
}

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}

namespace {

// The pictures a .mif holds, as stored (JPEG or PNG bytes, or a bitmap's BMP).
std::pair<StoredPicture, StoredPicture> storedPictures(const QString &mifPath, const QString &work)
{
    MifImageList mif;
    mif.ToolName = kProgram + QStringLiteral("bmconv");
    mif.WorkFolder = work;
    EXPECT_TRUE(mif.LoadFromFile(mifPath).has_value()) << mifPath.toStdString();
    if (mif.Count() != kSkinMifEntries)
        return {};
    const auto background =
        storedPicture(mif.GetEntry(kBackgroundEntry), kBackgroundEntry, mifPath);
    const auto cursor = storedPicture(mif.GetEntry(kCursorEntry), kCursorEntry, mifPath);
    EXPECT_TRUE(background && cursor);
    return {background.value_or(StoredPicture{}), cursor.value_or(StoredPicture{})};
}

} // namespace

// Saving a skin again must not compress its pictures a second time: a picture unchanged since
// it was opened, saved in its own format, keeps its bytes; a changed one is encoded anew.
TEST_F(Save, AnOpenedSkinsUnchangedPicturesKeepTheirBytes)
{
    const QString samples = QStringLiteral(VELMORA_TEST_DATA "/../../data/skins/");
    QTemporaryDir source;
    for (const char *name : {"aurora.skin", "aurora.mif"})
        ASSERT_TRUE(
            QFile::copy(samples + QLatin1String(name), source.filePath(QLatin1String(name))));
    const QString skinPath = source.filePath(QStringLiteral("aurora.skin"));
    ASSERT_TRUE(document.loadSkin(skinPath));
    SkinImagesSetup setup;
    setup.WorkFolder = scratch.path() + u'/';
    setup.ToolName = kProgram + QStringLiteral("bmconv");
    ASSERT_TRUE(document.openSkinImages(skinPath, setup).isEmpty());
    const auto original =
        storedPictures(source.filePath(QStringLiteral("aurora.mif")), scratch.path());
    ASSERT_EQ(original.first.extension, QStringLiteral(".jpg"));
    ASSERT_EQ(original.second.extension, QStringLiteral(".png"));
    EXPECT_EQ(
        openedFormat(document.pictures().BackgroundPicture, document.imageFiles().BackgroundFile),
        PictureFormat::Jpg);
    EXPECT_EQ(openedFormat(document.pictures().CursorPicture, document.imageFiles().CursorFile),
              PictureFormat::Png);

    request.kind = OutputKind::MifOnly;
    request.background = {PictureFormat::Jpg, 80};
    request.cursor = {PictureFormat::Png, 80};
    ASSERT_TRUE(saveSkin(document, request, env));
    const auto kept = storedPictures(out.filePath(QStringLiteral("myskin.mif")), scratch.path());
    EXPECT_TRUE(kept.first.bytes == original.first.bytes) << "the JPEG was compressed again";
    EXPECT_TRUE(kept.second.bytes == original.second.bytes);

    // Another format, or another picture, is encoded anew.
    SkinPictures changed = document.pictures();
    changed.BackgroundPicture.setPixel(0, 0, qRgb(1, 2, 3));
    document.setPictures(changed);
    EXPECT_EQ(
        openedFormat(document.pictures().BackgroundPicture, document.imageFiles().BackgroundFile),
        std::nullopt);
    request.cursor = {PictureFormat::Jpg, 80};
    ASSERT_TRUE(saveSkin(document, request, env));
    const auto anew = storedPictures(out.filePath(QStringLiteral("myskin.mif")), scratch.path());
    EXPECT_FALSE(anew.first.bytes == original.first.bytes);
    EXPECT_EQ(anew.second.extension, QStringLiteral(".jpg"));
}

// The .skin and the .mif change together or not at all: whichever file cannot be written, the
// old pair stays as it was and no temporary file is left in the folder.
TEST_F(Save, AFailedSaveLeavesTheOldPairAsItWas)
{
    request.kind = OutputKind::SkinAndMif;
    const QString skin = out.filePath(QStringLiteral("myskin.skin"));
    const QString mif = out.filePath(QStringLiteral("myskin.mif"));
    const auto oldPair = [&] {
        ASSERT_TRUE(testfiles::write(skin, "old skin"));
        ASSERT_TRUE(testfiles::write(mif, "old mif"));
    };

    // The .skin, written last, cannot go in: the .mif before it must not have gone in either.
    ASSERT_NO_FATAL_FAILURE(oldPair());
    ASSERT_TRUE(QFile::remove(skin));
    ASSERT_TRUE(QDir().mkdir(skin));
    auto saved = saveSkin(document, request, env);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(saved.error().message.contains(skin)) << saved.error().message.toStdString();
    EXPECT_EQ(testfiles::read(mif), "old mif");
    EXPECT_EQ(outFiles(), QStringList{QStringLiteral("myskin.mif")}) << "no temporary left";
    ASSERT_TRUE(QDir().rmdir(skin));

    // The .mif is a link into a folder that does not exist.
    ASSERT_NO_FATAL_FAILURE(oldPair());
    ASSERT_TRUE(QFile::remove(mif));
    ASSERT_TRUE(QFile::link(out.filePath(QStringLiteral("gone/real.mif")), mif));
    saved = saveSkin(document, request, env);
    ASSERT_FALSE(saved);
    EXPECT_EQ(testfiles::read(skin), "old skin");
    ASSERT_TRUE(QFile::remove(mif));
}

// A converter that fails is heard once, in its own words, and the pair stays.
TEST_F(Save, AFailingConverterIsHeardOnceAndTheOldPairStays)
{
    QTemporaryDir program;
    const QString tool = program.filePath(QStringLiteral("bmconv"));
    ASSERT_TRUE(testfiles::write(
        tool, "#!/bin/sh\necho 'BMCONV version 119.'\n"
              "echo \"bmconv: $PWD/temp/1.bmp: BMP size 11585 x 11585 is not supported\" >&2\n"
              "exit 4\n"));
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    env.programFolder = program.path() + u'/';
    QStringList heard;
    env.messages = [&](const QString &, const QString &text) {
        heard.append(text);
    };
    request.kind = OutputKind::SkinAndMif;
    request.background.format = PictureFormat::Mbm;
    ASSERT_TRUE(testfiles::write(out.filePath(QStringLiteral("myskin.skin")), "old skin"));
    ASSERT_TRUE(testfiles::write(out.filePath(QStringLiteral("myskin.mif")), "old mif"));
    const auto saved = saveSkin(document, request, env);
    ASSERT_FALSE(saved);
    EXPECT_TRUE(
        saved.error().message.endsWith(QStringLiteral(": BMP size 11585 x 11585 is not supported")))
        << saved.error().message.toStdString();
    EXPECT_FALSE(saved.error().message.contains(QStringLiteral("/temp/1.bmp")))
        << "the scratch file means nothing to the user";
    for (const QString &text : heard)
        EXPECT_FALSE(text.contains(QStringLiteral("wrote no file"))) << text.toStdString();
    EXPECT_EQ(testfiles::read(out.filePath(QStringLiteral("myskin.skin"))), "old skin");
    EXPECT_EQ(testfiles::read(out.filePath(QStringLiteral("myskin.mif"))), "old mif");
    EXPECT_EQ(outFiles(),
              (QStringList{QStringLiteral("myskin.mif"), QStringLiteral("myskin.skin")}));
}

#include "TestFiles.h"
#include "TestPictures.h"

#include "containers/MifImageList.h"
#include "containers/PictureCodecs.h"
#include "containers/SkinImages.h"
#include "containers/SvgWrap.h"
#include "core/SkinFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

// A throw-away program folder; the converter is used where it was built.
class SkinFolder : public ::testing::Test
{
protected:
    void SetUp() override
    {
        setup.WorkFolder = m_dir.path() + u'/';
        setup.ToolName = QStringLiteral(VELMORA_BMCONV);
        setup.OnMessage = [this](const QString &, const QString &text) {
            messages.append(text);
        };
        ASSERT_TRUE(QDir(m_dir.path()).mkpath(u"skins"_s));
        ASSERT_TRUE(QDir(m_packing.path()).mkpath(u"temp"_s));
    }
    QString path(const QString &name) const { return m_dir.filePath(name); }

    // skins/NAME with each picture an SVG document or, where that is null, a bitmap; packed
    // elsewhere, so the program folder's temp/ holds only what loading writes.
    void writeMif(const QString &name, const QList<std::pair<QByteArray, QImage>> &pictures)
    {
        MifImageList list;
        list.ToolName = QStringLiteral(VELMORA_BMCONV);
        list.WorkFolder = m_packing.path();
        for (const auto &[svg, bitmap] : pictures)
            ASSERT_TRUE(svg.isNull() ? list.AddBitmapEntry(bitmap) : list.AddSvgEntry(svg));
        ASSERT_TRUE(list.SaveToFile(path(u"skins/"_s + name)));
    }

    QTemporaryDir m_dir;
    QTemporaryDir m_packing;
    SkinImagesSetup setup;
    QStringList messages;
};

} // namespace

TEST_F(SkinFolder, LoadFailuresKeepTheOldPathsAndWriteNothing)
{
    const QByteArray svg = svgDocument("x", kPngMime, 1, 1);
    writeMif(u"two.mif"_s, {{svg, {}}});
    writeMif(u"six.mif"_s, {{svg, {}}, {svg, {}}, {svg, {}}});
    // A good background beside a cursor whose .mbm is missing.
    writeMif(u"half.mif"_s, {{svg, {}}, {QByteArray(), filled(2, 2, 0)}});
    QFile::remove(path(u"skins/half.mbm"_s));
    const QString wrongCount = u"Число картинок в файле *.mif не корректно"_s;
    const QString loadError = u"Ошибка при загрузке файла \r\n"_s;
    const std::pair<QString, QString> cases[] = {
        {path(u"skins/two.mif"_s), wrongCount},
        {path(u"skins/six.mif"_s), wrongCount},
        {path(u"skins/none.mif"_s), loadError},
        {path(u"skins/half.mif"_s), loadError},
        {QStringLiteral(VELMORA_TEST_DATA "/containers/mif_table_past_end.mif"), loadError},
    };
    for (const auto &[mif, text] : cases) {
        SkinImageFiles files{u"old-1.jpg"_s, u"old-2.jpg"_s};
        const auto loaded = LoadSkinImages(mif, setup, files);
        ASSERT_FALSE(loaded) << mif.toStdString();
        EXPECT_EQ(loaded.error().text, text == loadError ? loadError + mif : text);
        EXPECT_TRUE(loaded.error().reason.message.contains(mif));
        EXPECT_EQ(files.BackgroundFile, u"old-1.jpg"_s);
        EXPECT_EQ(files.CursorFile, u"old-2.jpg"_s);
        EXPECT_TRUE(QDir(path(u"temp"_s)).entryList({u"1.*"_s, u"2.*"_s}, QDir::Files).isEmpty());
    }
    // The missing .mbm is named as the user's file, never as the converter's scratch copy.
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'|').toStdString();
    SkinImageFiles files;
    const auto half = LoadSkinImages(path(u"skins/half.mif"_s), setup, files);
    ASSERT_FALSE(half);
    EXPECT_EQ(half.error().reason.message,
              path(u"skins/half.mbm"_s) + u": not found next to "_s + path(u"skins/half.mif"_s));

    // A .mbm that is there but broken is the converter's to judge, and it says why.
    ASSERT_TRUE(testfiles::write(path(u"skins/half.mbm"_s), "not a multi-bitmap file"));
    EXPECT_FALSE(LoadSkinImages(path(u"skins/half.mif"_s), setup, files));
    EXPECT_FALSE(messages.isEmpty()) << "the converter says why the .mbm could not be read";
}

TEST_F(SkinFolder, ImportsGoByTheLowerCasedEndingAndNeverReplaceHalfway)
{
    const QByteArray jpeg = encodeJpeg(pattern(20, 10), 100).value();
    ASSERT_TRUE(testfiles::write(path(u"photo.JPG"_s), jpeg));
    ASSERT_TRUE(testfiles::write(path(u"photo.jpeg"_s), jpeg));
    ASSERT_TRUE(testfiles::write(path(u"broken.jpg"_s), "not a jpeg"));
    QImage alpha(3, 1, QImage::Format_ARGB32);
    alpha.setPixel(0, 0, qRgba(0, 0, 0, 0));
    alpha.setPixel(1, 0, qRgba(255, 0, 0, 128));
    alpha.setPixel(2, 0, qRgba(0, 0, 255, 255));
    ASSERT_TRUE(testfiles::write(path(u"alpha.png"_s), encodePng(alpha).value()));

    SkinPictures pictures;
    ASSERT_EQ(ImportBackground(pictures, path(u"photo.JPG"_s)), true);
    EXPECT_EQ(pictures.BackgroundSource.size(), QSize(20, 10));
    EXPECT_EQ(pictures.BackgroundPicture, pictures.BackgroundSource);
    const SkinPictures before = pictures;
    EXPECT_EQ(ImportBackground(pictures, path(u"photo.jpeg"_s)), false);
    const auto broken = ImportBackground(pictures, path(u"broken.jpg"_s));
    ASSERT_FALSE(broken);
    EXPECT_TRUE(broken.error().message.contains(path(u"broken.jpg"_s)));
    EXPECT_EQ(pictures.BackgroundSource, before.BackgroundSource);
    EXPECT_EQ(pictures.BackgroundPicture, before.BackgroundPicture);

    // Transparency is flattened onto white in both copies, so the export has none.
    ASSERT_EQ(ImportCursor(pictures, path(u"alpha.png"_s)), true);
    for (const QImage &copy : {pictures.CursorSource, pictures.CursorPicture}) {
        EXPECT_EQ(copy.format(), QImage::Format_RGB32);
        EXPECT_EQ(copy.pixel(0, 0), qRgb(255, 255, 255));
        EXPECT_NEAR(qGreen(copy.pixel(1, 0)), 127, 1);
        EXPECT_EQ(copy.pixel(2, 0), qRgb(0, 0, 255));
    }
}

TEST(SkinPicturesShown, PreviewCopiesAreStretchedWhileExportsKeepTheirSize)
{
    QImage checker = filled(2, 2, qRgb(255, 0, 0));
    checker.setPixel(1, 0, qRgb(0, 0, 255));
    checker.setPixel(0, 1, qRgb(0, 0, 255));
    const QImage big = stretchWithoutSmoothing(checker, QSize(6, 4));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 6; ++x)
            EXPECT_EQ(big.pixel(x, y), checker.pixel(x / 3, y / 2)) << x << ',' << y;

    SkinPictures pictures;
    pictures.BackgroundSource = pictures.BackgroundPicture = pattern(240, 320);
    pictures.CursorSource = pattern(300, 40);
    EXPECT_EQ(PreviewBackground(pictures, QSize(176, 208)).size(), QSize(176, 208));
    EXPECT_EQ(PreviewCursor(pictures).size(), QSize(120, 18));
    QTemporaryDir dir;
    const auto exported = ExportPicture(pictures.BackgroundPicture, dir.filePath(u"b.BMP"_s));
    ASSERT_TRUE(exported);
    EXPECT_EQ(*exported, dir.filePath(u"b.BMP.bmp"_s));
    EXPECT_EQ(decodeBmp(testfiles::read(*exported), *exported).value(), pictures.BackgroundPicture);
    EXPECT_EQ(bmpExportPath(u"a/back.bmp"_s), u"a/back.bmp"_s);
}

TEST_F(SkinFolder, OpensACompleteSkinTheWayTheOpenCommandDoes)
{
    const QByteArray jpeg = encodeJpeg(pattern(240, 320), 95).value();
    writeMif(u"blue.mif"_s, {{svgDocument(jpeg, kJpegMime, 240, 320), {}},
                             {QByteArray(), filled(40, 10, qRgb(0, 128, 248))}});
    SkinData skin;
    skin.colours.fill(makeColor(1, 2, 3));
    skin.mifName = u"blue.mif"_s;
    const QString skinPath = path(u"skins/blue.skin"_s);
    ASSERT_TRUE(testfiles::write(skinPath, writeSkin(skin).value()));

    SkinPictures pictures;
    SkinImageFiles files;
    ColourScheme scheme;
    SkinTexts texts;
    ASSERT_TRUE(loadSkinFile(skinPath, scheme, texts));
    EXPECT_TRUE(OpenSkinImages(skinPath, texts.mifName, setup, files, pictures).isEmpty());
    EXPECT_EQ(scheme.slotColour(19), makeColor(1, 2, 3));
    EXPECT_EQ(files.BackgroundFile, path(u"temp/1.jpg"_s));
    EXPECT_EQ(files.CursorFile, path(u"temp/2.bmp"_s));
    EXPECT_EQ(testfiles::read(files.BackgroundFile), jpeg);
    EXPECT_EQ(pictures.BackgroundSource, decodeJpeg(jpeg, QString()).value());
    EXPECT_EQ(as565(PreviewCursor(pictures).pixel(119, 17)), qRgb(0, 128, 248));
    EXPECT_EQ(PreviewBackground(pictures, QSize(176, 208)).pixel(0, 0),
              pictures.BackgroundSource.pixel(0, 0));

    // A .mif with two entries: its message, and the pictures shown stay, even ones imported by
    // hand since; the files the first opening left must not come back.
    const SkinPictures first = pictures;
    writeMif(u"short.mif"_s, {{svgDocument("x", kPngMime, 1, 1), {}}});
    SkinPictures imported = pictures;
    imported.BackgroundSource = filled(30, 40, qRgb(9, 90, 200));
    pictures = imported;
    auto shown = OpenSkinImages(skinPath, u"short.mif"_s, setup, files, pictures);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_EQ(shown[0].text, u"Число картинок в файле *.mif не корректно"_s);
    EXPECT_TRUE(shown[0].picturesKept);
    EXPECT_EQ(pictures.BackgroundSource, imported.BackgroundSource);
    // A missing .mif likewise.
    shown = OpenSkinImages(skinPath, u"gone.mif"_s, setup, files, pictures);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].picturesKept);
    EXPECT_EQ(pictures.BackgroundSource, imported.BackgroundSource);
    pictures = first;

    // An SVG without its markers: the background fails to decode and stays; the cursor changes.
    writeMif(u"odd.mif"_s,
             {{"<svg><image href=\"elsewhere.png\"/></svg>", {}},
              {svgDocument(encodePng(filled(2, 2, qRgb(7, 7, 7))).value(), kPngMime, 2, 2), {}}});
    shown = OpenSkinImages(skinPath, u"odd.mif"_s, setup, files, pictures);
    ASSERT_EQ(shown.size(), 1);
    EXPECT_TRUE(shown[0].text.contains(path(u"temp/1.png"_s)));
    EXPECT_EQ(pictures.BackgroundSource, first.BackgroundSource);
    EXPECT_EQ(pictures.BackgroundPicture, first.BackgroundPicture);
    EXPECT_EQ(pictures.CursorSource, filled(2, 2, qRgb(7, 7, 7)));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

TEST_F(SkinFolder, OpensASkinWhoseNamesDifferInCaseFromTheFiles)
{
    // Made on a case-insensitive system: the skin says "Night.mif", the folder holds NIGHT.MIF
    // and its bitmaps as NIGHT.MBM.
    const QByteArray png = encodePng(filled(6, 5, qRgb(0, 0, 255))).value();
    writeMif(u"NIGHT.MIF"_s,
             {{svgDocument(png, kPngMime, 6, 5), {}}, {QByteArray(), filled(40, 10, 0)}});
    ASSERT_TRUE(QFile::rename(path(u"skins/NIGHT.mbm"_s), path(u"skins/NIGHT.MBM"_s)));
    SkinData skin;
    skin.mifName = u"Night.mif"_s;
    const QString skinPath = path(u"skins/night.skin"_s);
    ASSERT_TRUE(testfiles::write(skinPath, writeSkin(skin).value()));

    SkinPictures pictures;
    SkinImageFiles files;
    const auto shown = OpenSkinImages(skinPath, skin.mifName, setup, files, pictures);
    EXPECT_TRUE(shown.isEmpty()) << (shown.isEmpty() ? "" : shown[0].reason.message.toStdString());
    EXPECT_EQ(pictures.BackgroundSource, filled(6, 5, qRgb(0, 0, 255)));
    EXPECT_EQ(pictures.CursorSource.size(), QSize(40, 10));
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u'\n').toStdString();
}

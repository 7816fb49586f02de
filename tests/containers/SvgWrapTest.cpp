#include "TestFiles.h"
#include "TestPictures.h"

#include "containers/PictureCodecs.h"
#include "containers/SvgWrap.h"

#include <QDir>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

TEST(Base64, GroupsFollowTheForgivingRules)
{
    EXPECT_EQ(EncodeGroup({{0x4D, 0x61, 0x6E}, 3}), QByteArray("TWFu"));
    EXPECT_EQ(EncodeGroup({{0x4D, 0x61, 0xFF}, 2}), QByteArray("TWE="));
    EXPECT_EQ(EncodeGroup({{0x4D, 0xFF, 0xFF}, 1}), QByteArray("TQ=="));
    EXPECT_EQ(EncodeGroup({{0xFF, 0xFF, 0xFF}, 0}), QByteArray("A==="));
    const std::pair<const char *, Base64Group> decoded[] = {
        {"TWE=", {{0x4D, 0x61, 0x00}, 2}},
        {"TQ==", {{0x4D, 0x00, 0x00}, 1}},
        {"T===", {{0x00, 0x00, 0x00}, 0}}, // a lone character carries no byte
        {"TW=u", {{0x4D, 0x00, 0x2E}, 3}}, // "=" zeroes only its own byte
        {"T=Fu", {{0x00, 0x01, 0x6E}, 3}},
        {"T\xC0"
         "Fu",
         {{0x4F, 0xF1, 0x6E}, 3}},        // outside the alphabet: 63
        {"TWE", {{0x4D, 0x61, 0x00}, 2}}, // missing characters are "="
    };
    for (const auto &[text, group] : decoded)
        EXPECT_EQ(DecodeGroup(text), group) << text;
}

TEST(Base64, RunsAreStandardBase64AtEveryLength)
{
    QRandomGenerator random(7);
    for (int length : {0, 1, 2, 3, 4, 5, 6, 9, 301, 302, 3000}) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &b : bytes)
            b = char(random.bounded(256));
        EXPECT_EQ(encodeBase64(bytes), bytes.toBase64()) << length;
        EXPECT_EQ(decodeBase64(bytes.toBase64()), bytes) << length;
    }
    // Group by group: padding ends only its group, a line break is data, a lone tail is nothing.
    EXPECT_EQ(decodeBase64("TQ==TWFu"), QByteArray("MMan"));
    EXPECT_EQ(decodeBase64("TW\r\nTWFuT"), QByteArray("Mo\xFFMan"));
}

TEST(SvgWrapper, DocumentIsTheTemplateByteForByte)
{
    EXPECT_EQ(svgDocument("abc", kJpegMime, 176, 208),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                         "<!-- Creator: Velmora for TolvoICQ (v.0.6) -->\r\n"
                         "<!DOCTYPE svg PUBLIC \"-//W3C//DTD SVG 1.1//EN\" "
                         "\"http://www.w3.org/Graphics/SVG/1.1/DTD/svg11.dtd\" [\r\n"
                         "\t<!ENTITY ns_svg \"http://www.w3.org/2000/svg\">\r\n"
                         "\t<!ENTITY ns_xlink \"http://www.w3.org/1999/xlink\">\r\n"
                         "]>\r\n"
                         "<svg version=\"1.1\" id=\"\xD1\xEB\xEE\xE9_1\" xmlns=\"&ns_svg;\" "
                         "xmlns:xlink=\"&ns_xlink;\" width=\"176pt\" height=\"208pt\" "
                         "viewBox=\"0 0 176 208\"\r\n"
                         "\t overflow=\"visible\" enable-background=\"0 0 176 208\" "
                         "xml:space=\"preserve\">\r\n"
                         "<rect fill=\"#FF00E0\" width=\"176\" height=\"208\"/>\r\n"
                         "<image x=\"0\" y=\"0\" width=\"176\" height=\"208\" "
                         "xlink:href=\"data:image/jpeg;base64,YWJj\"/>\r\n"
                         "</svg>"));
    EXPECT_TRUE(
        svgDocument("", kPngMime, 0, 65535)
            .endsWith("height=\"65535\" xlink:href=\"data:image/png;base64,\"/>\r\n</svg>"));
}

TEST(SvgWrapper, PicturesComeBackByteForByte)
{
    QTemporaryDir dir;
    const QString in = dir.filePath(u"in"_s);
    const QString svgFile = dir.filePath(u"p.svg"_s);
    const struct
    {
        QByteArray picture;
        QByteArrayView mime;
        const char *extension;
    } cases[] = {
        {encodeJpeg(pattern(37, 23), 80).value(), kJpegMime, ".jpg"},
        {encodePng(pattern(37, 23)).value(), kPngMime, ".png"},
        {"12345", "image/JPEG", ".png"}, // anything but exactly image/jpeg
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(testfiles::write(in, c.picture));
        QByteArray svg;
        ASSERT_TRUE(SavetoSVG(in, QString(), c.mime, 37, 23, svg));
        const auto written = ExtractSvgPicture(svg, dir.filePath(u"out"_s));
        ASSERT_TRUE(written);
        EXPECT_EQ(*written, dir.filePath(u"out"_s) + QLatin1String(c.extension));
        EXPECT_EQ(testfiles::read(*written), c.picture);
        // Written to a file, the text is left alone.
        ASSERT_TRUE(SavetoSVG(in, svgFile, c.mime, 37, 23, svg));
        EXPECT_EQ(testfiles::read(svgFile), svg);
    }
    // An unreadable picture touches neither the text nor an existing document.
    QByteArray kept = "kept";
    const QString none = dir.filePath(u"none.jpg"_s);
    EXPECT_FALSE(SavetoSVG(none, QString(), kJpegMime, 1, 1, kept));
    EXPECT_FALSE(SavetoSVG(none, svgFile, kJpegMime, 1, 1, kept));
    EXPECT_EQ(kept, QByteArray("kept"));
    EXPECT_TRUE(testfiles::read(svgFile).endsWith("MTIzNDU=\"/>\r\n</svg>"));

    // A document without the markers gives a picture file that does not decode.
    const QByteArray foreign = "<svg><image href=\"picture.png\"/></svg>";
    EXPECT_FALSE(svgPicture(foreign).markersFound);
    EXPECT_FALSE(decodePictureFile(ExtractSvgPicture(foreign, in).value()));
}

TEST(SvgWrapper, ConversionCommandGoesByTheLastThreeCharacters)
{
    QTemporaryDir dir;
    const QByteArray jpeg = encodeJpeg(pattern(176, 208), 90).value();
    ASSERT_TRUE(testfiles::write(dir.filePath(u"shot.JPG"_s), jpeg));
    ASSERT_TRUE(testfiles::write(dir.filePath(u"photo.jpeg"_s), jpeg));
    ASSERT_TRUE(testfiles::write(dir.filePath(u"fake.jpg"_s), encodePng(pattern(3, 3)).value()));
    const auto svgPath = ConvertPictureToSvg(dir.filePath(u"shot.JPG"_s));
    ASSERT_TRUE(svgPath);
    EXPECT_EQ(*svgPath, dir.filePath(u"shot.JPG.svg"_s));
    EXPECT_EQ(testfiles::read(*svgPath), svgDocument(jpeg, kJpegMime, 176, 208));
    // ".jpeg" is not "jpg": nothing is done and nothing is said. A PNG named .jpg is refused.
    EXPECT_EQ(ConvertPictureToSvg(dir.filePath(u"photo.jpeg"_s)), QString());
    EXPECT_FALSE(ConvertPictureToSvg(dir.filePath(u"fake.jpg"_s)));
    EXPECT_EQ(QDir(dir.path()).entryList({u"*.svg"_s}), QStringList{u"shot.JPG.svg"_s});
}

// Checks the phone pictures shipped in data/mobiles/: the model list reads back as the generator
// wrote it, every picture is exactly the generator's output, and each gives the preview window
// a usable shape: transparent round the phone, an opaque body in one piece with a smoothed edge,
// and an opaque opening of exactly the model's screen at the model's position.

#include "PhonePictures.h"
#include "PictureCompare.h"

#include "containers/PictureCodecs.h"
#include "core/Cp1251.h"
#include "core/PhoneModels.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

namespace {

const QString kMobiles = QStringLiteral(VELMORA_TEST_DATA "/../../data/mobiles");

QByteArray readMobile(const QString &name)
{
    QFile file(QDir(kMobiles).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QImage decodedMobile(const QString &name)
{
    const auto image = decodePng(readMobile(name), name);
    return image ? *image : QImage();
}

// Pixels reachable from start through fully opaque pixels, side by side.
qsizetype opaqueReach(const QImage &image, QPoint start)
{
    const int w = image.width();
    std::vector<bool> seen(std::size_t(w) * image.height());
    std::vector<QPoint> stack{start};
    qsizetype reached = 0;
    while (!stack.empty()) {
        const QPoint at = stack.back();
        stack.pop_back();
        if (!image.rect().contains(at) || qAlpha(image.pixel(at)) != 255)
            continue;
        const std::size_t index = std::size_t(at.y()) * w + at.x();
        if (seen[index])
            continue;
        seen[index] = true;
        ++reached;
        for (QPoint step : {QPoint(1, 0), QPoint(-1, 0), QPoint(0, 1), QPoint(0, -1)})
            stack.push_back(at + step);
    }
    return reached;
}

} // namespace

// Found by argument lookup, so a mismatch names the models rather than dumping bytes.
void PrintTo(const PhoneModel &model, std::ostream *os)
{
    *os << model.name.toStdString() << " " << model.width << "*" << model.height << " at "
        << model.x << "," << model.y << " in " << model.picture.toStdString();
}

TEST(ShippedPhoneModels, ReadBackAsTheGeneratorWroteThem)
{
    const QByteArray bytes = readMobile(QStringLiteral("base.txt"));
    ASSERT_FALSE(bytes.isEmpty()) << "data/mobiles/base.txt is missing";
    const QList<PhoneModel> generated = shippedPhoneModels();
    EXPECT_TRUE(bytes == cp1251::encode(phoneModelText(generated)))
        << "base.txt differs from the generator's; run the regenerate_phones target";

    const PhoneModelList read = readPhoneModels(bytes, QStringLiteral("base.txt"));
    EXPECT_TRUE(read.problems.isEmpty()) << read.problems.join(u'\n').toStdString();
    EXPECT_EQ(read.records, generated);
    EXPECT_EQ(read.entries.size(), read.records.size()) << "a model block is cut short";
    EXPECT_TRUE(bytes.startsWith("#")) << "the format explanation should open the file";

    EXPECT_NE(findModel(read, QStringLiteral("Nokia 6120 (240*320)")), -1);
    QSet<QString> names;
    QSet<std::pair<int, int>> sizes;
    for (const PhoneModel &model : read.records) {
        EXPECT_FALSE(names.contains(model.name)) << "listed twice: " << model.name.toStdString();
        names.insert(model.name);
        sizes.insert({model.width, model.height});
    }
    for (std::pair<int, int> size :
         {std::pair{176, 208}, std::pair{208, 208}, std::pair{240, 320}, std::pair{320, 240},
          std::pair{352, 416}, std::pair{360, 640}, std::pair{640, 360}})
        EXPECT_TRUE(sizes.contains(size)) << "no model of " << size.first << "*" << size.second;
}

// The generator paints with anti-aliasing through Qt's raster engine, whose last bit may differ
// from one CPU to another: the committed pictures may differ from a fresh painting by one level
// in a handful of pixels, never in which pixels are fully opaque or fully transparent (the
// window's shape) and never in more.
TEST(ShippedPhonePictures, AreWhatTheGeneratorPaintsWithinOneLevel)
{
    constexpr int kLevels = 1;
    constexpr qsizetype kPixels = 32;
    QSet<QString> painted;
    for (const PhoneShape &shape : phoneShapes()) {
        SCOPED_TRACE(shape.file.toStdString());
        const QImage fresh = paintPhone(shape);
        const QImage shipped = decodedMobile(shape.file);
        ASSERT_EQ(shipped.size(), fresh.size()) << "run regenerate_phones";
        const PictureDifference difference = pictureDifference(shipped, fresh);
        EXPECT_TRUE(difference.within(kLevels, kPixels))
            << difference.describe().toStdString()
            << "; the committed picture is not the generator's: run regenerate_phones";
        for (int y = 0; y < fresh.height(); ++y)
            for (int x = 0; x < fresh.width(); ++x) {
                const int a = qAlpha(fresh.pixel(x, y)), b = qAlpha(shipped.pixel(x, y));
                ASSERT_EQ(a == 255, b == 255) << "opacity differs at " << x << ',' << y;
                ASSERT_EQ(a == 0, b == 0) << "transparency differs at " << x << ',' << y;
            }
        painted.insert(shape.file);
    }
    // No picture left over from an older generator, none that no model uses.
    QSet<QString> used;
    for (const PhoneModel &model : shippedPhoneModels())
        used.insert(model.picture);
    EXPECT_EQ(used, painted);
    const QStringList onDisk = QDir(kMobiles).entryList({QStringLiteral("*.png")}, QDir::Files);
    EXPECT_EQ(QSet<QString>(onDisk.begin(), onDisk.end()), painted);
}

// Read through the shipped list, as the program reads it, so a model pointing at the wrong
// picture or at a misplaced opening is caught even if the generator agrees with itself.
TEST(ShippedPhonePictures, EveryModelsOpeningIsOpaqueFlatAndExactlyItsScreen)
{
    const PhoneModelList models =
        readPhoneModels(readMobile(QStringLiteral("base.txt")), QStringLiteral("base.txt"));
    ASSERT_GE(models.records.size(), 10);
    for (const PhoneModel &model : models.records) {
        SCOPED_TRACE(model.name.toStdString());
        const QImage picture = decodedMobile(model.picture);
        ASSERT_FALSE(picture.isNull()) << model.picture.toStdString() << " is missing or broken";
        EXPECT_TRUE(picture.hasAlphaChannel());
        const QRect screen(model.x, model.y, model.width, model.height);
        ASSERT_TRUE(picture.rect().adjusted(1, 1, -1, -1).contains(screen));

        const QRgb opening = picture.pixel(screen.topLeft());
        EXPECT_EQ(qAlpha(opening), 255);
        int uneven = 0;
        for (int y = screen.top(); y <= screen.bottom(); ++y)
            for (int x = screen.left(); x <= screen.right(); ++x)
                uneven += picture.pixel(x, y) != opening;
        EXPECT_EQ(uneven, 0) << "the opening is not one opaque colour";

        // Just outside, each side is opaque body that no longer has the opening's colour, so
        // the opening is neither larger nor smaller than the screen.
        const QRect ring = screen.adjusted(-1, -1, 1, 1);
        const QList<QList<QPoint>> sides{
            {ring.topLeft(), ring.topRight()},
            {ring.bottomLeft(), ring.bottomRight()},
            {ring.topLeft(), ring.bottomLeft()},
            {ring.topRight(), ring.bottomRight()},
        };
        for (const QList<QPoint> &side : sides) {
            int opaque = 0, likeOpening = 0, count = 0;
            const QPoint step = side[0].y() == side[1].y() ? QPoint(1, 0) : QPoint(0, 1);
            for (QPoint at = side[0]; at != side[1] + step; at += step, ++count) {
                opaque += qAlpha(picture.pixel(at)) == 255;
                likeOpening += picture.pixel(at) == opening;
            }
            EXPECT_EQ(opaque, count) << "the body does not close round the opening";
            EXPECT_LT(likeOpening, count / 2) << "the opening goes on past the screen";
        }

        for (QPoint corner :
             {QPoint(0, 0), QPoint(picture.width() - 4, 0), QPoint(0, picture.height() - 4),
              QPoint(picture.width() - 4, picture.height() - 4)})
            for (int dy = 0; dy < 4; ++dy)
                for (int dx = 0; dx < 4; ++dx)
                    EXPECT_EQ(qAlpha(picture.pixel(corner + QPoint(dx, dy))), 0)
                        << "corner pixel " << corner.x() + dx << "," << corner.y() + dy;
    }
}

TEST(ShippedPhonePictures, BodiesAreOnePieceWithSmoothedEdgesAndCloseFitting)
{
    for (const PhoneShape &shape : phoneShapes()) {
        SCOPED_TRACE(shape.file.toStdString());
        const QImage picture = decodedMobile(shape.file);
        ASSERT_FALSE(picture.isNull());
        const QRect screen = phoneLayout(shape).screen;
        ASSERT_EQ(picture.size(), phoneLayout(shape).picture);

        // The window is made of the opaque pixels: a stray island would be a floating scrap.
        qsizetype opaque = 0, soft = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                const int a = qAlpha(picture.pixel(x, y));
                opaque += a == 255;
                soft += a > 0 && a < 255;
            }
        EXPECT_EQ(opaqueReach(picture, screen.center()), opaque);
        EXPECT_GT(opaque, qsizetype(picture.width()) * picture.height() * 3 / 4);
        EXPECT_GT(soft, picture.width() + picture.height()) << "the outline has hard steps";

        const int left = screen.left();
        const int right = picture.width() - 1 - screen.right();
        const int top = screen.top();
        const int bottom = picture.height() - 1 - screen.bottom();
        EXPECT_GE(qMin(qMin(left, right), qMin(top, bottom)), 20) << "no body round the screen";
        // Keys go above and below the screen (or beside it, turned); the other two sides hug it.
        EXPECT_LE(qMin(qMax(left, right), qMax(top, bottom)), 60);
        EXPECT_LE(qsizetype(picture.width()) * picture.height(),
                  3 * qsizetype(screen.width()) * screen.height());
    }
}

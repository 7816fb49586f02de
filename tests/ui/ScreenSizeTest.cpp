#include "ProgramFolderFixture.h"
#include "TestFiles.h"
#include "containers/PictureCodecs.h"
#include "export/ScreenShots.h"
#include "preview/PhoneFrame.h"
#include "preview/PhonePreview.h"
#include "ui/ColourWindow.h"
#include "ui/MainWindow.h"
#include "ui/PreviewWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Alpha's screen sits at (20, 40) of a 220 x 300 phone whose four 10-pixel corners are
// transparent; Bravo's picture does not exist; the second Alpha is the one a name finds.
const QByteArray kModels = "# test phones\r\n"
                           "phone = Alpha\r\n176*208\r\n20,40\r\nalpha.png\r\n\r\n"
                           "phone = Bravo\r\n240*320\r\n0,0\r\nbravo.png\r\n"
                           "phone = Alpha\r\n132*176\r\n0,0\r\nalpha.png\r\n";
const QPoint kScreenAt(20, 40);

QImage phonePicture()
{
    QImage picture(220, 300, QImage::Format_ARGB32);
    picture.fill(qRgb(90, 90, 100));
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if ((x < 10 || x >= 210) && (y < 10 || y >= 290))
                picture.setPixel(x, y, qRgba(0, 0, 0, 0));
        }
    }
    return picture;
}

class ScreenSize : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        s_dir = new QTemporaryDir;
        s_error = ProgramFolderFixture::create(s_dir->path());
        if (s_error.isEmpty() &&
            !testfiles::write(s_dir->path() + QStringLiteral("/mobiles/alpha.png"),
                              encodePng(phonePicture()).value_or(QByteArray())))
            s_error = QStringLiteral("cannot write alpha.png");
    }
    static void TearDownTestSuite() { delete s_dir; }

    // Starts the program over the given model file; an empty one means there is none.
    void start(const QByteArray &models = kModels)
    {
        ASSERT_TRUE(s_error.isEmpty()) << s_error.toStdString();
        const QString base = s_dir->path() + QStringLiteral("/mobiles/base.txt");
        QFile::remove(base);
        if (!models.isEmpty()) {
            ASSERT_TRUE(testfiles::write(base, models));
        }
        testing::internal::CaptureStderr();
        form = std::make_unique<MainWindow>(
            s_dir->path() + u'/', QString(),
            [this](const QString &, const QString &text, const QString &detail) {
                messages.append(text + u'|' + detail);
            });
        stderrText = QString::fromStdString(testing::internal::GetCapturedStderr());
        ASSERT_FALSE(form->startupFailed());
        preview = form->preview();
        preview->stopBlinking();
        window = form->previewWindow();
        window->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window));
    }

    void tickPhone(int model)
    {
        form->modelCombo()->setCurrentIndex(model);
        form->phoneFrameCheck()->setChecked(true);
    }
    void choose(int entry) { form->modelCombo()->setCurrentIndex(entry); }

    static inline QTemporaryDir *s_dir = nullptr;
    static inline QString s_error;
    QStringList messages;
    QString stderrText;
    std::unique_ptr<MainWindow> form;
    PhonePreview *preview = nullptr;
    PreviewWindow *window = nullptr;
};

} // namespace

TEST_F(ScreenSize, WithoutModelsOnlyTheTypedSizeIsOffered)
{
    start({});
    EXPECT_TRUE(stderrText.contains(QStringLiteral("mobiles/base.txt")))
        << stderrText.toStdString();
    ASSERT_EQ(form->modelCombo()->count(), 1);
    EXPECT_EQ(form->modelCombo()->itemText(0), kCustomSizeEntry);
    EXPECT_TRUE(form->screenWidthSpin()->isEnabled());
    EXPECT_FALSE(form->phoneFrameCheck()->isEnabled());
    EXPECT_EQ(preview->screenSize(), QSize(240, 320));
    form->screenWidthSpin()->setValue(300);
    EXPECT_EQ(preview->screenSize(), QSize(300, 320));
    EXPECT_EQ(window->size(), QSize(300, 320));
    EXPECT_EQ(window->mask(), screenShape(QSize(300, 320)));
    EXPECT_TRUE(messages.isEmpty());

    // A file whose only model is refused says why and still offers the typed size.
    form.reset();
    start("phone = Tiny\r\n12*12\r\n0,0\r\ntiny.png\r\n");
    EXPECT_TRUE(stderrText.contains(QStringLiteral("\"Tiny\""))) << stderrText.toStdString();
    EXPECT_EQ(form->modelCombo()->count(), 1);
    EXPECT_EQ(preview->screenSize(), QSize(240, 320));
}

TEST_F(ScreenSize, ModelsInFileOrderAndTheFirstTakesEffect)
{
    start();
    const QStringList expected = {QStringLiteral("Alpha"), QStringLiteral("Bravo"),
                                  QStringLiteral("Alpha"), kCustomSizeEntry};
    QStringList shown;
    for (int i = 0; i < form->modelCombo()->count(); ++i)
        shown.append(form->modelCombo()->itemText(i));
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(preview->screenSize(), QSize(176, 208));
    EXPECT_EQ(preview->shownBackground().size(), QSize(176, 208));
    EXPECT_EQ(window->size(), QSize(176, 208));
    EXPECT_FALSE(window->frame());
    EXPECT_FALSE(form->screenWidthSpin()->isEnabled());
    EXPECT_TRUE(form->phoneFrameCheck()->isEnabled());
    // With a model selected the typed size waits, and the model's own size is said beside it.
    form->screenHeightSpin()->setValue(400);
    EXPECT_EQ(preview->screenSize(), QSize(176, 208));
    EXPECT_EQ(form->screenWidthSpin()->value(), 240);
    EXPECT_EQ(form->modelSizeLabel()->text(), QStringLiteral("Экран модели: 176 × 208"));
    choose(3);
    EXPECT_TRUE(form->modelSizeLabel()->text().isEmpty()) << "a typed size is in the fields";
}

TEST_F(ScreenSize, TheTypedSizeDropsThePhoneAndAModelOffersItAgainUnticked)
{
    start();
    tickPhone(0);
    ASSERT_TRUE(window->frame());
    form->screenWidthSpin()->setValue(200);
    choose(3);
    EXPECT_FALSE(form->phoneFrameCheck()->isChecked());
    EXPECT_FALSE(form->phoneFrameCheck()->isEnabled());
    EXPECT_TRUE(form->screenWidthSpin()->isEnabled());
    EXPECT_FALSE(window->frame());
    EXPECT_EQ(window->size(), QSize(200, 320));
    EXPECT_EQ(window->mask(), screenShape(QSize(200, 320)));
    form->screenHeightSpin()->setValue(250);
    EXPECT_EQ(window->size(), QSize(200, 250));
    choose(2);
    EXPECT_TRUE(form->phoneFrameCheck()->isEnabled());
    EXPECT_FALSE(form->phoneFrameCheck()->isChecked());
    EXPECT_EQ(preview->screenSize(), QSize(132, 176));
}

TEST_F(ScreenSize, ThePhoneFramesTheScreenAndShapesTheWindow)
{
    start();
    tickPhone(0);
    const QImage picture = phonePicture();
    EXPECT_EQ(window->size(), picture.size());
    EXPECT_EQ(window->mask(), windowShape(picture));
    EXPECT_FALSE(window->mask().contains(QPoint(3, 3)));
    EXPECT_TRUE(window->mask().contains(kScreenAt + QPoint(88, 104)));

    const QImage screen = preview->picture().convertToFormat(QImage::Format_ARGB32);
    const QImage shown = window->shownWindow();
    EXPECT_EQ(shown.copy(QRect(kScreenAt, screen.size())), screen);
    EXPECT_EQ(shown.pixel(5, 150), picture.pixel(5, 150));
    EXPECT_EQ(qAlpha(shown.pixel(3, 3)), 0);
    // What is painted is what shownWindow says, body and screen alike.
    const QImage painted = window->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    EXPECT_EQ(painted.copy(QRect(kScreenAt, screen.size())), screen);
    EXPECT_EQ(painted.pixel(5, 150), picture.pixel(5, 150));
}

TEST_F(ScreenSize, PointingWorksOnTheFramedScreenAndNotOnTheBody)
{
    start();
    tickPhone(0);
    const auto &clock = preview->regions().regions(3);
    ASSERT_FALSE(clock.isEmpty());
    const QPoint onClock = clock.first().boundingRect().center();
    QTest::mouseMove(window, onClock + kScreenAt);
    EXPECT_EQ(preview->HoverSlot(), 3);
    EXPECT_FALSE(preview->HighlightHidden());

    // A body point whose window coordinates, taken as screen pixels, would hit an element.
    QPoint body(-1, -1);
    for (int y = 12; y < kScreenAt.y() && body.x() < 0; ++y) {
        for (int x = kScreenAt.x(); x < kScreenAt.x() + 176 && body.x() < 0; ++x) {
            preview->hitTest(x, y);
            if (!preview->HighlightHidden())
                body = QPoint(x, y);
        }
    }
    ASSERT_GE(body.x(), 0);
    QTest::mouseMove(window, body);
    EXPECT_TRUE(preview->HighlightHidden());
    QTest::mousePress(window, Qt::LeftButton, {}, body);
    QTest::mouseRelease(window, Qt::LeftButton, {}, body);
    EXPECT_FALSE(form->colourWindow()->isVisible());

    QTest::mouseMove(window, onClock + kScreenAt);
    QTest::mousePress(window, Qt::LeftButton, {}, onClock + kScreenAt);
    QTest::mouseRelease(window, Qt::LeftButton, {}, onClock + kScreenAt);
    EXPECT_TRUE(form->colourWindow()->isVisible());
    EXPECT_EQ(form->document().scheme().selectedSlot(), 2);
}

TEST_F(ScreenSize, AMissingPictureShowsTheBareScreenAndIsReportedOnce)
{
    start();
    tickPhone(1);
    EXPECT_FALSE(window->frame());
    EXPECT_EQ(window->size(), QSize(240, 320));
    ASSERT_EQ(messages.size(), 1);
    EXPECT_TRUE(messages[0].contains(QStringLiteral("Bravo")));
    EXPECT_TRUE(messages[0].contains(QStringLiteral("bravo.png")));
    choose(0);
    EXPECT_TRUE(window->frame()) << "the box stays ticked between models";
    choose(1);
    form->phoneFrameCheck()->setChecked(false);
    form->phoneFrameCheck()->setChecked(true);
    EXPECT_EQ(messages.size(), 1);
}

TEST_F(ScreenSize, SelectingByNameTakesTheLastModelOfThatName)
{
    start();
    form->selectModel(QStringLiteral("Alpha"));
    EXPECT_EQ(form->modelCombo()->currentIndex(), 2);
    EXPECT_EQ(preview->screenSize(), QSize(132, 176));
    form->selectModel(QStringLiteral("Nobody"));
    EXPECT_EQ(form->modelCombo()->currentIndex(), 3);
    EXPECT_TRUE(form->screenWidthSpin()->isEnabled());
    EXPECT_EQ(preview->screenSize(), QSize(240, 320));
}

// "Все экраны…": every screen for every model of the list, rendered with the window's preview,
// whose screen is as it was afterwards.
TEST_F(ScreenSize, AllScreensAreWrittenForEveryModelAndTheScreenComesBack)
{
    start();
    form->toggleCheck(Toggle::MiniClock)->setChecked(true);
    const PreviewState before = preview->state();
    QTemporaryDir out;
    form->setFolderAsker([](const QString &) { return QString(); });
    form->exportAllScreens();
    EXPECT_TRUE(QDir(out.path()).isEmpty()) << "a cancelled folder writes nothing";

    form->setFolderAsker([&](const QString &) { return out.path(); });
    form->exportAllScreens();
    EXPECT_TRUE(messages.isEmpty()) << messages.join(u' ').toStdString();
    EXPECT_EQ(preview->state(), before);
    // The second "Alpha" of the list is written last, over the first.
    const std::pair<const char *, QSize> models[] = {{"alpha", QSize(132, 176)},
                                                     {"bravo", QSize(240, 320)}};
    for (const auto &[slug, size] : models) {
        for (const NamedScreen &screen : namedScreens()) {
            const QString file = out.filePath(QString::fromLatin1(slug) + u'/' + screen.name +
                                              QStringLiteral(".png"));
            const auto picture = decodePng(testfiles::read(file), file);
            ASSERT_TRUE(picture) << file.toStdString();
            EXPECT_EQ(picture->size(), size) << file.toStdString();
        }
    }
    EXPECT_TRUE(QFileInfo(out.filePath(QStringLiteral("index.html"))).isFile());
    EXPECT_TRUE(QFileInfo(out.filePath(QStringLiteral("sheet.png"))).isFile());
}

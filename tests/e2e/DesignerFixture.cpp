#include "DesignerFixture.h"

#include "core/SkinFile.h"
#include "document/SkinDocument.h"
#include "platform/FileOps.h"
#include "preview/PhonePreview.h"
#include "ui/ColourControls.h"
#include "ui/Designer.h"
#include "ui/PreviewControl.h"
#include "ui/PreviewWindow.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QMenuBar>
#include <QSlider>
#include <QTabWidget>
#include <QTest>

QString programFolder()
{
    QString folder = qEnvironmentVariable("VELMORA_E2E_PROGRAM");
    if (!folder.isEmpty() && !folder.endsWith(u'/'))
        folder += u'/';
    return folder;
}

Colours coloursOfFile(const QString &path)
{
    const auto bytes = readWholeFile(path);
    if (!bytes) {
        ADD_FAILURE() << bytes.error().message.toStdString();
        return {};
    }
    const auto skin = readSkin(*bytes, path);
    if (!skin) {
        ADD_FAILURE() << skin.error().error.message.toStdString();
        return {};
    }
    return skin->colours;
}

Colours coloursOf(const SkinDocument &document)
{
    Colours colours{};
    for (int slot = 0; slot < kSlotCount; ++slot)
        colours[std::size_t(slot)] = document.slotColour(slot);
    return colours;
}

QImage solidPicture(QSize size, QColor colour)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

void expectQuiet(const DialogDriver::Outcome &outcome, const QString &what)
{
    EXPECT_FALSE(outcome.endedProgram) << what.toStdString() << " ended the program";
    EXPECT_TRUE(outcome.unexpected.isEmpty())
        << what.toStdString() << " showed " << outcome.unexpected.join(u"; ").toStdString();
    EXPECT_EQ(outcome.unanswered, 0)
        << what.toStdString() << ": a dialog it should have opened did not come";
}

void Designer::SetUp()
{
    ASSERT_FALSE(programFolder().isEmpty()) << "run these tests through run_e2e.sh";
    ASSERT_TRUE(m_work.isValid());
    form = startDesigner(programFolder(), QString());
    ASSERT_FALSE(form->startupFailed());
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form->previewWindow()));
}

QMenu *Designer::previewMenu() const
{
    return form->previewWindow()->contextMenu();
}

QMenu *Designer::mainMenu(const QString &caption) const
{
    for (QAction *action : form->menuBar()->actions()) {
        if (action->text() == caption)
            return action->menu();
    }
    return nullptr;
}

QAction *Designer::previewItem(const QStringList &path) const
{
    return DialogDriver::item(previewMenu(), path);
}

QAction *Designer::mainItem(const QString &menu, const QStringList &path) const
{
    return DialogDriver::item(mainMenu(menu), path);
}

void Designer::openThroughDialog(const QString &path)
{
    expectQuiet(
        driver.choose(previewItem({QStringLiteral("Открыть")}), {DialogDriver::typeFileName(path)}),
        QStringLiteral("Открыть"));
}

void Designer::pickSlotInList(int slot)
{
    form->show();
    form->optionTabs()->setCurrentIndex(0);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
    QAbstractButton *item = form->slotButtons()->button(slot);
    // On the round mark: a radio button takes clicks on its mark and caption only, and the
    // list's column may be wider than this caption.
    QTest::mouseClick(item, Qt::LeftButton, {}, QPoint(item->height() / 2, item->height() / 2));
    ASSERT_TRUE(item->isChecked());
    ASSERT_EQ(form->document().selectedSlot(), slot);
}

void Designer::nudgeRed(int slot, int steps)
{
    ASSERT_NO_FATAL_FAILURE(pickSlotInList(slot));
    const TColor before = form->document().slotColour(slot);
    QSlider *red = form->colourControls()->slider(0);
    const Qt::Key key = red->value() + steps <= red->maximum() ? Qt::Key_Up : Qt::Key_Down;
    for (int i = 0; i < steps; ++i)
        QTest::keyClick(red, key);
    ASSERT_TRUE(DialogDriver::waitFor([&] { return form->document().slotColour(slot) != before; }));
    ASSERT_TRUE(DialogDriver::waitFor([&] { return !form->colourControls()->applyPending(); }));
}

void Designer::activatePreview()
{
    PreviewWindow *window = form->previewWindow();
    window->raise();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window));
}

void Designer::clickElement(int slot)
{
    PreviewWindow *window = form->previewWindow();
    const QList<QRegion> &regions = form->preview()->regions().regions(slot + 1);
    ASSERT_FALSE(regions.isEmpty()) << "slot " << slot << " is not on the screen";
    // Regions are stored with what was drawn over them cut away: any part of one is its own.
    const QPoint phone = regions.first().begin()->center();
    const int scale = window->pixelScale();
    const QPoint at =
        window->previewControl()->pos() + phone * scale + QPoint(scale / 2, scale / 2);
    ASSERT_EQ(window->toPhone(at), phone);
    QTest::mouseMove(window, at);
    QTest::mouseClick(window, Qt::LeftButton, {}, at);
}

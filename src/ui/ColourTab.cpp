// The "Настройка цветов" tab: the slot list, the colour editor and the settings-screen option.
#include "ui/ColourControls.h"
#include "ui/MainWindow.h"

#include "preview/PhonePreview.h"
#include "ui/PreviewWindow.h"
#include "ui/QualityChecks.h"
#include "ui/QualityWidgets.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QColorDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QPainter>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

QWidget *MainWindow::buildColourTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *slotBox = new QGroupBox(page);
    auto *grid = new QGridLayout(slotBox);
    m_slotButtons = new QButtonGroup(this);
    // Two columns, filled top to bottom.
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto *item = new QRadioButton(slotCaption(slot), slotBox);
        m_slotButtons->addButton(item, slot);
        grid->addWidget(item, slot % 10, slot / 10);
    }
    m_slotButtons->button(0)->setChecked(true);
    connect(m_slotButtons, &QButtonGroup::idClicked, this, &MainWindow::slotButtonChosen);
    // Every slot shows its colour beside its caption, whatever changed it (an edit, undo or
    // redo, a palette, an opened skin).
    showSlotSwatches(-1);
    connect(&m_document, &SkinDocument::colourChanged, this, &MainWindow::showSlotSwatches);
    layout->addWidget(slotBox);
    m_colourControls = new ColourControls(page);
    layout->addWidget(m_colourControls);
    m_settingsScreenCheck =
        new QCheckBox(QStringLiteral("Показать экран настроек вместо меню"), page);
    layout->addWidget(m_settingsScreenCheck);
    m_usageStrip = new SlotUsageStrip(page);
    layout->addWidget(m_usageStrip);
    layout->addStretch();
    connect(m_settingsScreenCheck, &QCheckBox::toggled, this, &MainWindow::settingsScreenToggled);
    connect(m_colourControls, &ColourControls::timerTick, this, &MainWindow::applySliderColour);
    connect(m_colourControls, &ColourControls::swatchClicked, this, &MainWindow::swatchClicked);
    connect(m_colourControls, &ColourControls::resetClicked, this, &MainWindow::resetColourClicked);
    connect(m_colourControls, &ColourControls::colourTyped, this, &MainWindow::applyColour);
    connectColourDrags(m_colourControls);
    connect(&m_document, &SkinDocument::colourChanged, this, &MainWindow::followColour);
    connect(&m_document, &SkinDocument::selectedSlotChanged, this, &MainWindow::followSelectedSlot);
    return page;
}

namespace {

QIcon slotSwatch(TColor colour, int side)
{
    QPixmap picture(side, side);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setPen(QColor(64, 64, 64));
    painter.setBrush(toQColor(colour));
    painter.drawRect(0, 0, side - 1, side - 1);
    return QIcon(picture);
}

} // namespace

void MainWindow::showSlotSwatches(int slot)
{
    const int side = style()->pixelMetric(QStyle::PM_SmallIconSize);
    for (int each = 0; each < kSlotCount; ++each) {
        if (slot != -1 && each != slot)
            continue;
        if (QAbstractButton *item = m_slotButtons->button(each))
            item->setIcon(slotSwatch(m_document.slotColour(each), side));
    }
}

void MainWindow::applyColour(TColor colour)
{
    m_colourControls->showColour(colour);
    // The document announces the change; the preview renders from it.
    m_document.setSlotColour(m_document.selectedSlot(), colour);
}

// The selected slot's colour in the editor, sliders and hex fields alike.
void MainWindow::showSelectedColour()
{
    const TColor colour = m_document.slotColour(m_document.selectedSlot());
    m_colourControls->showColour(colour);
    m_colourControls->setHexTexts(colour);
}

void MainWindow::applySliderColour()
{
    applyColour(m_colourControls->sliderColour());
}

void MainWindow::swatchClicked()
{
    const QColor chosen =
        QColorDialog::getColor(toQColor(m_document.slotColour(m_document.selectedSlot())), this);
    if (chosen.isValid())
        applyColour(fromQColor(chosen));
}

void MainWindow::resetColourClicked()
{
    SkinHistory::Step step(m_document.history(), QStringLiteral("Сброс цвета"));
    applyColour(m_document.resetColour());
}

void MainWindow::connectColourDrags(ColourControls *controls)
{
    connect(controls, &ColourControls::dragStarted, this, [this] {
        m_document.history().begin(SkinDocument::colourStepName(m_document.selectedSlot()));
    });
    connect(controls, &ColourControls::dragFinished, this, [this] { m_document.history().end(); });
}

void MainWindow::followColour(int slot)
{
    const int selected = m_document.selectedSlot();
    if (slot != -1 && slot != selected)
        return;
    const TColor colour = m_document.slotColour(selected);
    // Moving the sliders re-applies the same colour, which is no change and no step.
    if (m_colourControls->sliderColour() != colour) {
        m_colourControls->showColour(colour);
        m_colourControls->setHexTexts(colour);
    }
}

// A slot picked elsewhere (a click in the preview) is marked in the list and shown in the
// editor, so that what the list marks is what the editor changes. The list's own pick handler
// is not run: it would switch the screen away from the element just clicked.
void MainWindow::followSelectedSlot(int slot)
{
    if (QAbstractButton *item = m_slotButtons->button(slot); item && !item->isChecked())
        item->setChecked(true);
    showSelectedColour();
}

// The slot the list shows is the one to show again, whatever the preview clicked since.
void MainWindow::settingsScreenToggled()
{
    slotButtonChosen(m_slotButtons->checkedId());
}

// Picking a slot shows a screen where that slot can be seen.
void MainWindow::slotButtonChosen(int slot)
{
    // Called for the list's own clicks and by others: the list always shows the picked slot.
    if (QAbstractButton *item = m_slotButtons->button(slot))
        item->setChecked(true);
    m_document.selectSlot(slot);
    // One render when the whole change is made.
    RenderBatch batch(m_preview);
    if (m_preview) {
        m_preview->regions().HoverSlot = 0;
        // The options keep their states and check marks: a menu can show with "Показывать
        // меню" off.
        m_preview->setOption(&PreviewState::showPopup, toggleValue(Toggle::Popup));
        if (const auto view = slotView(slot, m_settingsScreenCheck->isChecked())) {
            m_preview->setOption(&PreviewState::showMenu, view->showMenu);
            m_preview->setActiveScreen(view->screen);
        }
    }
    applyColour(m_document.slotColour(slot));
    m_document.selectSlot(slot);
    m_colourControls->setHexTexts(m_document.slotColour(slot));
}

void MainWindow::connectQualityChecks()
{
    PreviewResources measured = m_preview->resources();
    measured.loadedList = measuredContactList(m_programFolder);
    m_quality = new QualityChecks(std::move(measured), m_document, *m_preview, this);
    connect(m_quality, &QualityChecks::auditChanged, this,
            [this] { m_legibility->showAudit(m_quality->audit()); });
    connect(m_quality, &QualityChecks::usageChanged, this,
            [this] { m_usageStrip->showUsage(m_quality->usageSlot(), m_quality->usage()); });
    connect(m_usageStrip, &SlotUsageStrip::screenPicked, this, &MainWindow::showNamedScreen);
    connect(m_legibility, &LegibilityPanel::placePicked, this,
            [this](int slot, const QString &screen) {
                slotButtonChosen(slot);
                showNamedScreen(screen);
            });
}

void MainWindow::showNamedScreen(const QString &name)
{
    const QList<NamedScreen> &screens = namedScreens();
    const auto found = std::ranges::find(screens, name, &NamedScreen::name);
    if (!m_preview || found == screens.end())
        return;
    const PreviewState target = namedScreenState(m_preview->state(), *found);
    RenderBatch batch(m_preview);
    m_preview->regions().HoverSlot = 0;
    m_preview->setOption(&PreviewState::menuLeft, target.menuLeft);
    // The options' handlers run on their toggles and bring the preview along.
    for (Toggle id : {Toggle::Popup, Toggle::Menu, Toggle::Groups, Toggle::Notifications})
        toggleCheck(id)->setChecked(target.*previewToggle(id).state);
    m_preview->setActiveScreen(showsContactList(target.activeScreen)
                                   ? PreviewScreen::ContactListPicked
                                   : target.activeScreen);
    updateMenuChecks();
}

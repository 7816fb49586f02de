// The settings file: read at start-up into the controls, written from them by "Выход".
#include "ui/MainWindow.h"

#include "core/SettingsFile.h"
#include "core/WindowPlacement.h"
#include "platform/FileOps.h"
#include "platform/WritablePlaces.h"
#include "preview/PhonePreview.h"
#include "preview/PreviewSettings.h"
#include "ui/ArrowSpinBox.h"
#include "ui/PreviewWindow.h"
#include "ui/SaveDialog.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStandardPaths>
#include <QStyle>
#include <QTextStream>

namespace {

int formatCode(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Png:
        return 1;
    case PictureFormat::Jpg:
        return 0;
    case PictureFormat::Mbm:
        break;
    }
    return 2;
}

std::optional<PictureFormat> formatFromCode(int code)
{
    switch (code) {
    case 0:
        return PictureFormat::Jpg;
    case 1:
        return PictureFormat::Png;
    case 2:
        return PictureFormat::Mbm;
    default:
        return std::nullopt;
    }
}

void applyFormat(SaveDialog::FormatGroup &group, int code, int quality)
{
    group.prefer({formatFromCode(code).value_or(group.preferred.format), quality});
}

QList<QRect> screenAreas()
{
    QList<QRect> areas;
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        areas.append(primary->availableGeometry());
    for (const QScreen *display : QGuiApplication::screens()) {
        if (display != QGuiApplication::primaryScreen())
            areas.append(display->availableGeometry());
    }
    return areas;
}

// A window's size with its title bar: before the window is first shown the window manager has
// not framed it yet, and a place that leaves no room for the bar would put it off the screen.
QSize framedSize(const QWidget *window)
{
    if (window->isVisible() || window->frameGeometry().size() != window->size())
        return window->frameGeometry().size();
    const int bar = window->style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, window);
    return window->size() + QSize(0, bar);
}

// A window moved to the place the file gives it; one that would be out of reach on every screen
// is put whole in the middle of the main one.
void place(QWidget *window, QPoint at)
{
    window->move(reachablePlace(at, framedSize(window), screenAreas()));
}

} // namespace

QString MainWindow::settingsPath() const
{
    return platform::settingsFolder(m_programFolder) + QStringLiteral("Settings.cfg");
}

SettingsValues MainWindow::currentSettings() const
{
    SettingsValues s;
    s.screenWidth = m_screenWidthSpin->cleanText();
    s.screenHeight = m_screenHeightSpin->cleanText();
    s.phoneFrame = m_phoneFrameCheck->isChecked();
    s.modelName = m_modelCombo->currentText();
    s.setupFormPosition = pos();
    s.colourWindowAlpha = m_opacitySlider->value();
    s.setupFormShow = m_settingsAtStartCheck->isChecked();
    s.previewFormPosition = m_previewWindow->pos();
    if (m_saveDialog) {
        // The user's own choices; a picture opened from a skin only shows its format.
        const PictureChoice background = m_saveDialog->backgroundFormat().preferred;
        const PictureChoice cursor = m_saveDialog->cursorFormat().preferred;
        s.backgroundFormat = formatCode(background.format);
        s.backgroundQuality = background.quality;
        s.cursorFormat = formatCode(cursor.format);
        s.cursorQuality = cursor.quality;
        s.lastShellPath = m_saveDialog->chosenFolder();
        s.symbianIndex = m_saveDialog->systemVersionCombo()->currentIndex();
    }
    for (const PreviewToggle &toggle : kPreviewToggles)
        s.*toggle.setting = toggleValue(toggle.id);
    s.showSettings = m_settingsScreenCheck->isChecked();
    s.sortIndex = m_sortButtons->checkedId();
    s.selectRegion = m_selectionStyleButtons->checkedId();
    s.expert = m_expertModeCheck->isChecked();
    s.oldInterface = m_oldInterfaceCheck->isChecked();
    s.columns = m_columnCount;
    if (m_preview) {
        s.fonts = {toSettingsFont(m_preview->state().contactListFont),
                   toSettingsFont(m_preview->state().chatFont),
                   toSettingsFont(m_preview->state().settingsFont)};
    }
    return s;
}

// Each value goes to its control, whose handler runs when its state changes. The order keeps
// the locks sound: the expert mode is set before the old interface, which forces it on.
void MainWindow::applySettings(const SettingsValues &s)
{
    RenderBatch batch(m_preview);
    m_opacitySlider->setValue(s.colourWindowAlpha);
    if (m_saveDialog) {
        applyFormat(m_saveDialog->backgroundFormat(), s.backgroundFormat, s.backgroundQuality);
        applyFormat(m_saveDialog->cursorFormat(), s.cursorFormat, s.cursorQuality);
        m_saveDialog->chooseFolder(s.lastShellPath);
        if (s.symbianIndex >= 0 && s.symbianIndex < m_saveDialog->systemVersionCombo()->count())
            m_saveDialog->systemVersionCombo()->setCurrentIndex(s.symbianIndex);
    }
    if (QAbstractButton *item = m_selectionStyleButtons->button(s.selectRegion))
        item->setChecked(true);
    m_settingsScreenCheck->setChecked(s.showSettings);
    m_settingsAtStartCheck->setChecked(s.setupFormShow);
    // Each box's change reaches the preview; an option without a box goes there directly.
    for (const PreviewToggle &toggle : kPreviewToggles) {
        if (QCheckBox *box = toggleCheck(toggle.id))
            box->setChecked(s.*toggle.setting);
        else if (m_preview)
            m_preview->setOption(toggle.state, s.*toggle.setting);
    }
    updateMenuChecks();
    m_expertModeCheck->setChecked(s.expert);
    applyDesktop(s);
    if (QAbstractButton *item = m_sortButtons->button(s.sortIndex))
        item->setChecked(true);
    m_oldInterfaceCheck->setChecked(s.oldInterface);
    setColumnCount(s.columns);
    if (m_preview) {
        m_preview->setFont(&PreviewState::contactListFont, toPhoneFont(s.fonts[0]));
        m_preview->setFont(&PreviewState::chatFont, toPhoneFont(s.fonts[1]));
        m_preview->setFont(&PreviewState::settingsFont, toPhoneFont(s.fonts[2]));
    }
    // Last, when the windows have the sizes the options give them.
    place(this, s.setupFormPosition);
    place(m_previewWindow, s.previewFormPosition);
}

// Before any place was stored: both windows whole on the main screen, side by side where they
// fit, so that neither covers the phone.
void MainWindow::placeWindowsFirstTime()
{
    const QList<QRect> areas = screenAreas();
    if (areas.isEmpty())
        return;
    const auto [preview, main] =
        sideBySide(framedSize(m_previewWindow), framedSize(this), areas.first());
    m_previewWindow->move(preview);
    move(main);
}

void MainWindow::applyDesktop(const SettingsValues &s)
{
    const QSignalBlocker widthBlocker(m_screenWidthSpin);
    const QSignalBlocker heightBlocker(m_screenHeightSpin);
    m_screenWidthSpin->setValue(s.screenWidth.toInt());
    m_screenHeightSpin->setValue(s.screenHeight.toInt());
    {
        // The model's handler below decides about the frame once the model is chosen.
        const QSignalBlocker frameBlocker(m_phoneFrameCheck);
        m_phoneFrameCheck->setChecked(s.phoneFrame);
    }
    if (s.modelName.isEmpty())
        modelChosen();
    else
        selectModel(s.modelName);
}

// Start-up: the file is made from the default text when there is none, then read. A file that
// cannot be read leaves the options as they are; the user hears of it on stderr and in the
// console, since the program still works.
void MainWindow::loadSettings()
{
    const QString path = settingsPath();
    QByteArray bytes;
    bool firstRun = false;
    if (!QFileInfo::exists(path)) {
        // What is written is what is read: no need to read it back.
        bytes =
            defaultSettingsText(QStandardPaths::writableLocation(QStandardPaths::DesktopLocation));
        if (auto created = writeFileAtomically(path, bytes); !created)
            reportSettingsProblem(created.error().message);
        firstRun = true;
    } else if (auto read = readWholeFile(path, kMaxSettingsFileSize)) {
        bytes = *read;
    } else {
        reportSettingsProblem(
            tr("Settings not read, the defaults apply: %1").arg(read.error().message));
        return;
    }
    SettingsValues values = currentSettings();
    // Only a name the file gives chooses a model: looking up the current one could pick another
    // model of the same name.
    values.modelName.clear();
    for (const QString &problem : readSettings(bytes, values))
        reportSettingsProblem(problem);
    applySettings(values);
    if (firstRun)
        placeWindowsFirstTime();
}

void MainWindow::reportSettingsProblem(const QString &text)
{
    QTextStream(stderr) << text << Qt::endl;
    logToConsole(text);
}

bool MainWindow::saveSettings()
{
    const QString path = settingsPath();
    if (auto written = writeFileAtomically(path, writeSettings(currentSettings())); !written) {
        m_messageSink(QString(),
                      QStringLiteral("Не удалось сохранить настройки в \"%1\"").arg(path),
                      written.error().message);
        return false;
    }
    return true;
}

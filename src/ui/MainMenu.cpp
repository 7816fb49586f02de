// The main menu and the file commands it shares with the preview window's context menu.
#include "ui/MainWindow.h"

#include "export/ScreenShots.h"

#include "containers/SvgWrap.h"
#include "core/Palette.h"
#include "platform/FileOps.h"
#include "preview/PhonePreview.h"
#include "ui/HistoryActions.h"
#include "ui/PreviewWindow.h"
#include "ui/SaveDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>
#include <QLabel>
#include <QMenuBar>
#include <QProgressDialog>
#include <QStatusBar>
#include <QUndoStack>

void MainWindow::buildMainMenu()
{
    const auto item = [this](Command id) {
        return m_commands->main(id);
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("Файл"));
    file->addAction(item(Command::Open));
    file->addMenu(m_recent->menu());
    file->addAction(item(Command::Save));
    connect(m_recent, &RecentSkins::chosen, this, &MainWindow::openSkin);
    file->addSeparator();
    QMenu *import = file->addMenu(QStringLiteral("Импортировать"));
    import->addActions({item(Command::ImportScheme), item(Command::ImportBackground),
                        item(Command::ImportCursor), item(Command::ImportPalette)});
    QMenu *exportMenu = file->addMenu(QStringLiteral("Экспортировать"));
    exportMenu->addActions({item(Command::ExportSkin), item(Command::ExportMif)});
    m_exportSeparator = exportMenu->addSeparator();
    exportMenu->addActions({item(Command::ExportBackground), item(Command::ExportCursor),
                            item(Command::ExportPalette)});
    exportMenu->addSeparator();
    exportMenu->addActions({item(Command::Screenshot), item(Command::AllScreens)});
    file->addSeparator();
    file->addAction(item(Command::Quit));
    connect(m_commands, &CommandActions::triggered, this, &MainWindow::runCommand);
    QMenu *edit = menuBar()->addMenu(QStringLiteral("Правка"));
    m_historyActions = new HistoryActions(m_document.history().stack(), this);
    m_skinStatus = new QLabel(this);
    statusBar()->addPermanentWidget(m_skinStatus);
    // Every step, undo and redo may take the skin away from what its file holds, or back.
    connect(&m_document.history().stack(), &QUndoStack::indexChanged, this,
            &MainWindow::updateSkinStatus);
    connect(&m_document.history().stack(), &QUndoStack::cleanChanged, this,
            &MainWindow::updateSkinStatus);
    edit->addActions({m_historyActions->undo(), m_historyActions->redo()});
    edit->addSeparator();
    edit->addAction(m_historyActions->history());
    QMenu *help = menuBar()->addMenu(QStringLiteral("Помощь"));
    help->addActions({item(Command::Help), item(Command::About)});
}

void MainWindow::runCommand(Command id)
{
    switch (id) {
    case Command::Open:
        return openSkinAsked();
    case Command::Save:
        return openSaveWindow(OutputKind::Package);
    case Command::ImportScheme:
        return importColourSchemeAsked();
    case Command::ImportBackground:
        return importBackgroundAsked();
    case Command::ImportCursor:
        return importCursorAsked();
    case Command::ImportPalette:
        return askPaletteToImport();
    case Command::ExportSkin:
        return openSaveWindow(OutputKind::SkinOnly);
    case Command::ExportMif:
        return openSaveWindow(OutputKind::MifOnly);
    case Command::ExportBackground:
        return exportPicture(m_document.pictures().BackgroundPicture);
    case Command::ExportCursor:
        return exportPicture(m_document.pictures().CursorPicture);
    case Command::ExportPalette:
        return askPaletteToExport();
    case Command::Screenshot:
        return screenshotAsked();
    case Command::AllScreens:
        return exportAllScreens();
    case Command::Help:
        return openHelp();
    case Command::About:
        return showAbout();
    case Command::Quit:
        return quitAsked();
    }
}

// Every file dialog starts where the last one was left: the first time in the sample skins.
QString MainWindow::dialogFolder()
{
    if (m_dialogFolder.isEmpty()) {
        const QString samples = m_programFolder + QStringLiteral("skins");
        m_dialogFolder = QFileInfo(samples).isDir() ? samples : QDir::homePath();
    }
    return m_dialogFolder;
}

QString MainWindow::remembered(const QString &chosen)
{
    if (!chosen.isEmpty())
        m_dialogFolder = QFileInfo(chosen).absolutePath();
    return chosen;
}

QString MainWindow::askSkinName()
{
    return remembered(m_askFile(false, dialogFolder(), QStringLiteral("*.skin (*.skin)")));
}

void MainWindow::openSkinAsked()
{
    const QString path = remembered(m_askFile(
        false, dialogFolder(),
        QStringLiteral("Скины (*.skin *.sis *.sisx);;*.skin (*.skin);;Установочные пакеты "
                       "(*.sis *.sisx)")));
    if (!path.isEmpty())
        openSkin(path);
}

void MainWindow::importColourSchemeAsked()
{
    const QString path = askSkinName();
    if (!path.isEmpty())
        importColourScheme(path);
}

void MainWindow::quitAsked()
{
    quit();
}

QString MainWindow::askPictureName(const QString &filter)
{
    return remembered(m_askFile(false, dialogFolder(), filter));
}

void MainWindow::importBackgroundAsked()
{
    const QString path =
        askPictureName(QStringLiteral("Графические форматы (bmp, png, jpg) (*.bmp *.jpg *png)"));
    if (!path.isEmpty())
        importBackground(path);
}

void MainWindow::importCursorAsked()
{
    const QString path =
        askPictureName(QStringLiteral("Графические форматы (bmp, png, jpg) (*.bmp *.jpg *png)"));
    if (!path.isEmpty())
        importCursor(path);
}

void MainWindow::importBackground(const QString &path)
{
    RenderBatch batch(m_preview);
    if (auto imported = m_document.importBackground(path); !imported)
        m_messageSink(QString(), imported.error().message, QString());
    applyColour(m_document.slotColour(m_document.selectedSlot()));
}

void MainWindow::importCursor(const QString &path)
{
    RenderBatch batch(m_preview);
    if (auto imported = m_document.importCursor(path); !imported)
        m_messageSink(QString(), imported.error().message, QString());
}

void MainWindow::openDroppedFile(const QString &path, bool onCursor)
{
    const QString kind = QFileInfo(path).suffix().toLower();
    if (kind == u"skin" || kind == u"sis" || kind == u"sisx")
        openSkin(path);
    else if (kind == u"gpl" || kind == u"json")
        importPalette(path);
    else if (onCursor)
        importCursor(path);
    else
        importBackground(path);
}

void MainWindow::convertToSvg(const QString &path)
{
    if (auto written = ConvertPictureToSvg(path); !written)
        m_messageSink(QString(), written.error().message, QString());
}

QString MainWindow::askBmpName()
{
    const QString name =
        remembered(m_askFile(true, dialogFolder(), QStringLiteral("*.bmp (*.bmp)")));
    return name.isEmpty() ? name : bmpExportPath(name);
}

void MainWindow::screenshotAsked()
{
    const QString path = askBmpName();
    if (path.isEmpty())
        return;
    if (const QString error = m_previewWindow->saveScreenshot(path); !error.isEmpty())
        m_messageSink(QString(), error, QString());
}

void MainWindow::exportPicture(const QImage &picture)
{
    const QString path = askBmpName();
    if (path.isEmpty())
        return;
    if (auto written = ExportPicture(picture, path); !written)
        m_messageSink(QString(), written.error().message, QString());
}

// Every screen for every phone model with the window's options and fonts. The phone pictures
// are left out: the set shows the skin.
void MainWindow::exportAllScreens()
{
    const QString folder = m_askFolder(dialogFolder());
    if (folder.isEmpty())
        return;
    m_dialogFolder = folder;
    QList<ShotModel> models;
    for (qsizetype i = 0; i < m_phoneModels.entries.size(); ++i)
        models.append({m_phoneModels.records[i], std::nullopt});
    if (models.isEmpty()) {
        // Without a model list the set is the screen as it is now.
        PhoneModel current;
        current.name = QStringLiteral("%1x%2")
                           .arg(m_preview->screenSize().width())
                           .arg(m_preview->screenSize().height());
        current.width = m_preview->screenSize().width();
        current.height = m_preview->screenSize().height();
        models.append({current, std::nullopt});
    }
    QProgressDialog progress(QStringLiteral("Сохранение экранов…"), QStringLiteral("Отмена"), 0,
                             int(models.size() * namedScreens().size()), this);
    progress.setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(0);
    // Drawn apart from the window's own screen, which keeps showing what it showed, with the
    // same contacts, skin and options.
    PreviewState base = m_preview->state();
    base.blinkPhase = true; // blinking nicks lit, as the screenshot takes them
    const auto written = writeScreenShots(m_document.state(), m_preview->resources(), base,
                                          QTime::currentTime(), models, folder, [&](int done, int) {
                                              progress.setValue(done);
                                              return !progress.wasCanceled();
                                          });
    progress.reset();
    if (!written)
        m_messageSink(QString(), QStringLiteral("Не удалось сохранить экраны"),
                      written.error().message);
}

void MainWindow::askPaletteToImport()
{
    const QString path = remembered(
        m_askFile(false, dialogFolder(), QStringLiteral("Палитры (*.gpl *.json);;Все файлы (*)")));
    if (!path.isEmpty())
        importPalette(path);
}

void MainWindow::askPaletteToExport()
{
    const QString path = remembered(m_askFile(
        true, dialogFolder(), QStringLiteral("Палитра GIMP (*.gpl);;JSON (*.json);;CSS (*.css)")));
    if (!path.isEmpty())
        exportPalette(path);
}

void MainWindow::importPalette(const QString &path)
{
    const auto bytes = readWholeFile(path, kMaxPaletteFileSize);
    const auto palette =
        bytes ? readPalette(*bytes, path) : Result<PaletteColours>(fail(bytes.error()));
    if (!palette) {
        m_messageSink(QString(), QStringLiteral("Не удалось импортировать палитру."),
                      palette.error().message);
        return;
    }
    RenderBatch batch(m_preview);
    SkinHistory::Step step(m_document.history(), QStringLiteral("импорт палитры"));
    for (int slot = 0; slot < kSlotCount; ++slot) {
        if (const auto colour = (*palette)[std::size_t(slot)])
            m_document.setSlotColour(slot, *colour);
    }
    showSelectedColour();
}

void MainWindow::exportPalette(const QString &chosen)
{
    QString path = chosen;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != u"gpl" && suffix != u"json" && suffix != u"css")
        path += QStringLiteral(".gpl");
    const SkinState state = m_document.state();
    QByteArray bytes;
    if (path.endsWith(QStringLiteral(".css"), Qt::CaseInsensitive)) {
        bytes = paletteCss(state.colours);
    } else if (path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive)) {
        const SkinData skin{state.colours, state.texts.mifName, state.texts.copyright};
        bytes = QJsonDocument(skinToJson(skin)).toJson();
    } else {
        bytes = paletteGpl(state.colours, state.texts.baseName);
    }
    if (auto written = writeFileAtomically(path, bytes); !written)
        m_messageSink(QString(), QStringLiteral("Не удалось сохранить палитру."),
                      written.error().message);
}

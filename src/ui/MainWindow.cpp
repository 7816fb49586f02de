#include "ui/MainWindow.h"

#include "export/PackageFiles.h"
#include "platform/Association.h"
#include "platform/WritablePlaces.h"
#include "preview/PhonePreview.h"
#include "startup/WorkJournal.h"
#include "ui/AboutBox.h"
#include "ui/ColourControls.h"
#include "ui/ColourWindow.h"
#include "ui/HistoryActions.h"
#include "ui/PreviewControl.h"
#include "ui/PreviewWindow.h"
#include "ui/ProgramIcon.h"
#include "ui/QualityChecks.h"
#include "ui/SaveDialog.h"
#include "ui/Shutdown.h"
#include "ui/StartupWindow.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QLabel>
#include <QMessageBox>
#include <QScreen>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QToolTip>
#include <QUrl>

#include <utility>

MainWindow::MainWindow(const QString &programFolder, const QString &commandLineSkin,
                       MessageSink sink, QWidget *parent, std::optional<unsigned> seed)
    : QMainWindow(parent, Qt::Tool)
    , m_programFolder(programFolder)
    , m_messageSink(std::move(sink))
{
    setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    setWindowIcon(programIcon());
    if (!m_messageSink) {
        m_messageSink = [this](const QString &caption, const QString &text, const QString &detail) {
            showMessage(caption, text, detail);
        };
    }
    m_askFont = [this](const QFont &current) -> std::optional<QFont> {
        bool ok = false;
        const QFont chosen = QFontDialog::getFont(&ok, current, dialogParent());
        return ok ? std::optional<QFont>(chosen) : std::nullopt;
    };
    m_askQuestion = [this](const QString &text, const QString &detail) {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Velmora for TolvoICQ"), text,
                        QMessageBox::Yes | QMessageBox::No, dialogParent());
        box.setInformativeText(detail);
        return box.exec() == QMessageBox::Yes;
    };
    m_askSave = [this](const QString &text) {
        const auto answer = QMessageBox::question(
            dialogParent(), QStringLiteral("Velmora for TolvoICQ"), text,
            QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes);
        return answer == QMessageBox::Yes  ? SaveAnswer::Save
               : answer == QMessageBox::No ? SaveAnswer::Discard
                                           : SaveAnswer::Cancel;
    };
    m_openUrl = [](const QUrl &url) {
        return QDesktopServices::openUrl(url);
    };
    m_askFolder = [this](const QString &start) {
        return QFileDialog::getExistingDirectory(dialogParent(),
                                                 QStringLiteral("Папка для экранов"), start);
    };
    // Qt names the dialog itself ("Открыть", "Сохранить как") in the window's language.
    m_askFile = [this](bool save, const QString &folder, const QString &filter) {
        return save ? QFileDialog::getSaveFileName(dialogParent(), QString(), folder, filter)
                    : QFileDialog::getOpenFileName(dialogParent(), QString(), folder, filter);
    };
    m_association = platform::makeAssociationStore(QCoreApplication::applicationFilePath());
    // The converter runs for the icon files mostly wait for their child processes: they run
    // while the window builds its menus and tabs. Start-up reports a folder that failed.
    m_scratch = std::make_unique<platform::ScratchFolder>();
    if (m_scratch->isValid())
        m_iconPreload = std::make_unique<IconPreload>(startupSetup());
    buildMainMenu();
    buildTabs();
    FormCreate(commandLineSkin, seed);
}

MainWindow::~MainWindow()
{
    // The journal goes before the document it follows.
    delete m_journal;
    m_journal = nullptr;
    delete m_aboutBox;
    delete m_startupWindow;
    delete m_colourWindow;
    delete m_saveDialog;
    delete m_previewWindow;
    // The preview renders from the document: it goes first.
    delete m_preview;
    m_preview = nullptr;
}

bool MainWindow::startupFailed() const
{
    return m_startupWindow && m_startupWindow->hasError();
}

QString MainWindow::scratchFolder() const
{
    return m_scratch && m_scratch->isValid() ? m_scratch->path() : QString();
}

// The start-up sequence. It stops at the first missing required file, leaving the start-up
// window on screen with its error; its "OK" ends the program.
void MainWindow::FormCreate(const QString &commandLineSkin, std::optional<unsigned> seed)
{
    m_startupComplete = false;
    m_previewWindow = new PreviewWindow(*m_commands);
    m_previewWindow->setWindowOpacity(0.0);
    m_colourWindow = new ColourWindow(m_document);
    connectPreviewWindow();

    m_startupWindow = new StartupWindow;
    connect(m_startupWindow, &StartupWindow::okClicked, qApp, [] { QCoreApplication::exit(1); });
    m_startupWindow->show();
    m_startupWindow->repaint();

    QDir::setCurrent(m_programFolder);
    if (!m_scratch->isValid()) {
        m_startupWindow->Error(QStringLiteral("Ошибка!\n%1").arg(m_scratch->errorText()));
        return;
    }
    createSaveWindow();
    if (!createPreview(seed))
        return;
    m_startupWindow->setMessage(QStringLiteral("Загрузка настроек..."));
    m_startupWindow->repaint();
    loadSettings();
    m_saveDialog->systemVersionChosen();

    m_startupWindow->setMessage(QStringLiteral("Готово!"));
    m_startupWindow->hide();
    m_startupWindow->deleteLater();
    m_startupWindow = nullptr;

    // The desktop's settings are the only record of the association.
    if (m_association->IsAssociated())
        m_associationCheck->setChecked(true);

    if (m_settingsAtStartCheck->isChecked())
        show();
    if (!commandLineSkin.isEmpty() && QFileInfo(commandLineSkin).isFile())
        openSkin(commandLineSkin);

    // The old interface shows the screen here; the preview window stays invisible until its
    // timer hides it.
    if (!m_oldInterface)
        m_previewWindow->setWindowOpacity(1.0);
    // From here on every change of the skin is a step that can be undone.
    m_document.history().clear();
    m_document.history().setRecording(true);
    // A quarter of a second: long enough for the window to be painted first, short enough to be
    // ready before anyone opens the settings.
    m_quality->startAfter(std::chrono::milliseconds(250));
    m_startupComplete = true;
    m_aboutBox = new AboutBox(m_programFolder, [this](const QUrl &url) { return m_openUrl(url); });
    updateSkinStatus();
}

StartupSetup MainWindow::startupSetup()
{
    StartupSetup setup;
    setup.programFolder = m_programFolder;
    setup.scratchFolder = scratchFolder();
    setup.messages = [this](const QString &caption, const QString &text) {
        m_messageSink(caption, text, QString());
    };
    return setup;
}

// Loads the default pictures, the colours and the client's files, and builds the simulated
// screen with the options of a fresh start; false when a required file is missing (reported on
// the start-up window).
bool MainWindow::createPreview(std::optional<unsigned> seed)
{
    StartupReporter reporter;
    reporter.progress = [this](const QString &text) {
        m_startupWindow->setMessage(text);
    };
    reporter.error = [this](const QString &text) {
        m_startupWindow->Error(text);
    };
    std::mt19937 random(seed ? *seed : std::random_device{}());
    StartupSetup setup = startupSetup();
    setup.random = &random;
    auto resources = startProgram(setup, reporter, m_document, m_iconPreload.get());
    m_iconPreload.reset();
    if (!resources)
        return false;
    m_preview = new PhonePreview(std::move(*resources), m_document);
    {
        RenderBatch batch(m_preview);
        m_previewWindow->setPreview(m_preview);
        m_colourWindow->setPreview(m_preview);
        applyStartupOptions();
        loadModelList();
    }
    connectQualityChecks();
    // The typed size first, then the selected entry, which decides whether that size applies.
    screenSizeEdited();
    modelChosen();
    showSelectedColour();
    if (const QScreen *display = QGuiApplication::primaryScreen())
        m_previewWindow->move(display->availableGeometry().center() -
                              m_previewWindow->rect().center());
    return true;
}

void MainWindow::applyStartupOptions()
{
    // The controls' initial states: the settings file, read next, only ticks some of them.
    m_preview->setState(PreviewState{});
    // Every option reaches the preview and its check mark, whatever its state.
    for (const PreviewToggle &toggle : kPreviewToggles)
        toggleChanged(toggle.id);
    sortChosen(m_sortButtons->checkedId());
    selectionStyleChosen(m_selectionStyleButtons->checkedId());
    columnArrowClicked(m_columnCount);
}

void MainWindow::connectPreviewWindow()
{
    connect(m_previewWindow->settingsAction(), &QAction::triggered, this, [this] {
        show();
        raise();
        activateWindow();
    });
    m_previewWindow->addRecentMenu(m_recent->menu());
    m_previewWindow->addHistoryItems(
        {m_historyActions->undo(), m_historyActions->redo(), m_historyActions->history()});
    connect(m_previewWindow, &PreviewWindow::slotClicked, this, &MainWindow::openColourWindow);
    connect(m_previewWindow->previewControl(), &PreviewControl::fileDropped, this,
            &MainWindow::openDroppedFile);
    // What the mouse points at, named in the status bar as in the tooltip.
    connect(m_previewWindow->previewControl(), &PreviewControl::hoverChanged, this,
            [this] { statusBar()->showMessage(m_previewWindow->previewControl()->hoverText()); });
    connectOptionItems();
    // Closing the preview window any other way ends the program without saving anything.
    connect(m_previewWindow, &PreviewWindow::closedByUser, qApp, [] { QCoreApplication::exit(0); });
}

void MainWindow::associationToggled()
{
    const bool on = m_associationCheck->isChecked();
    if (on && m_association->IsAssociated())
        return;
    const auto done = on ? m_association->Associate() : m_association->Unassociate();
    if (done)
        return;
    m_messageSink(QString(),
                  on ? QStringLiteral("Не удалось связать файлы *.skin с программой")
                     : QStringLiteral("Не удалось снять связь файлов *.skin с программой"),
                  done.error().message);
    // The box shows what the desktop will do.
    const QSignalBlocker blocker(m_associationCheck);
    m_associationCheck->setChecked(m_association->IsAssociated());
}

void MainWindow::setAssociationStore(std::unique_ptr<platform::AssociationStore> store)
{
    m_association = std::move(store);
    const QSignalBlocker blocker(m_associationCheck);
    m_associationCheck->setChecked(m_association->IsAssociated());
}

void MainWindow::openHelp()
{
    const QString help = m_programFolder + QStringLiteral("Help.html");
    if (QFileInfo(help).isFile() && !m_openUrl(QUrl::fromLocalFile(help)))
        m_messageSink(QString(), QStringLiteral("Не удалось открыть справку."),
                      QStringLiteral("Нет программы, которая открыла бы файл %1.")
                          .arg(QDir::toNativeSeparators(help)));
}

void MainWindow::showAbout()
{
    if (m_aboutBox)
        m_aboutBox->showCentred();
}

void MainWindow::setUrlOpener(UrlOpener opener)
{
    m_openUrl = std::move(opener);
}

void MainWindow::openColourWindow(int slot, const QRect &element)
{
    m_colourWindow->openForSlot(slot, element);
}

// The save dialog needs the scratch folder, so it is made once that exists.
void MainWindow::createSaveWindow()
{
    SaveEnvironment env;
    env.programFolder = m_programFolder;
    env.scratchFolder = scratchFolder();
    env.progress = [this](const QString &text) {
        logToConsole(text);
    };
    env.messages = [this](const QString &caption, const QString &text) {
        m_messageSink(caption, text, QString());
    };
    m_saveDialog = new SaveDialog(m_document, std::move(env));
    connect(m_saveDialog, &SaveDialog::skinSaved, this, &MainWindow::skinSaved);
}

void MainWindow::skinSaved(const QStringList &written, OutputKind kind)
{
    // The history belongs to the skin file last saved or opened.
    for (const QString &file : written) {
        if (file.endsWith(QStringLiteral(".skin"), Qt::CaseInsensitive)) {
            m_skinPath = QFileInfo(file).absoluteFilePath();
            m_recent->add(m_skinPath);
        }
    }
    // Whatever holds the colours is saved; a .mif alone leaves them unsaved.
    if (kind != OutputKind::MifOnly)
        markSaved();
    QStringList names;
    for (const QString &file : written)
        names.append(QDir::toNativeSeparators(file));
    const QString where = QStringLiteral("Сохранено: %1").arg(names.join(QStringLiteral(", ")));
    statusBar()->showMessage(where, 15000);
    showNotice(where);
    if (std::exchange(m_quitAfterSave, false))
        quit();
}

void MainWindow::showNotice(const QString &text)
{
    QWidget *over = isVisible() ? static_cast<QWidget *>(this) : m_previewWindow;
    if (!over || !over->isVisible())
        return;
    QToolTip::showText(over->mapToGlobal(QPoint(over->width() / 2, over->height() / 2)), text, over,
                       QRect(), 4000);
}

bool MainWindow::skinModified() const
{
    return !m_document.history().stack().isClean();
}

void MainWindow::markSaved()
{
    m_document.history().stack().setClean();
    updateSkinStatus();
}

QString MainWindow::skinStatusText() const
{
    const QString name = QFileInfo(m_skinPath).fileName();
    if (!skinModified())
        return name;
    return name.isEmpty() ? QStringLiteral("изменён") : QStringLiteral("%1 — изменён").arg(name);
}

void MainWindow::updateSkinStatus()
{
    if (m_skinStatus)
        m_skinStatus->setText(skinStatusText());
    const QString name = QFileInfo(m_skinPath).fileName();
    const QString save =
        name.isEmpty() ? QStringLiteral("Сохранить") : QStringLiteral("Сохранить «%1»").arg(name);
    // One action in both menus.
    m_commands->main(Command::Save)->setText(save);
}

void MainWindow::openSaveWindow(OutputKind kind)
{
    m_quitAfterSave = false;
    if (m_saveDialog)
        m_saveDialog->showForKind(kind);
}

std::unique_ptr<QMessageBox> MainWindow::messageBox(const QString &caption, const QString &text,
                                                    const QString &detail, QWidget *parent)
{
    // Every message the program shows reports something that went wrong.
    auto box = std::make_unique<QMessageBox>(
        QMessageBox::Warning, caption.isEmpty() ? QStringLiteral("Velmora for TolvoICQ") : caption,
        text, QMessageBox::Ok, parent);
    box->setInformativeText(detail);
    return box;
}

QWidget *MainWindow::dialogParent()
{
    return isVisible() || !m_previewWindow ? static_cast<QWidget *>(this) : m_previewWindow;
}

QStringList MainWindow::unsetSeams() const
{
    QStringList unset;
    const auto check = [&unset](bool set, const char *name) {
        if (!set)
            unset.append(QString::fromLatin1(name));
    };
    check(bool(m_messageSink), "message sink");
    check(bool(m_askFont), "font asker");
    check(bool(m_askFile), "file asker");
    check(bool(m_askFolder), "folder asker");
    check(bool(m_askQuestion), "question asker");
    check(bool(m_askSave), "save question");
    check(!m_saveDialog || m_saveDialog->hasReplaceAsker(), "save dialog's replace question");
    check(bool(m_openUrl), "URL opener");
    check(bool(m_association), "association store");
    check(!m_previewWindow || bool(m_previewWindow->columnCountSource), "column count source");
    check(!m_aboutBox || m_aboutBox->hasUrlOpener(), "about box URL opener");
    return unset;
}

void MainWindow::showMessage(const QString &caption, const QString &text, const QString &detail)
{
    messageBox(caption, text, detail, dialogParent())->exec();
}

void MainWindow::openSkin(const QString &path)
{
    QString skinPath = path;
    if (isPackageName(path)) {
        // The package's files go to the scratch folder, which "Выход" empties.
        const QString folder =
            scratchFolder() + QStringLiteral("temp/package-%1").arg(++m_packagesOpened);
        const auto extracted = extractSkinPackage(path, folder);
        if (!extracted) {
            m_messageSink(QString(), QStringLiteral("Не удалось открыть установочный пакет."),
                          extracted.error().message);
            return;
        }
        skinPath = *extracted;
    }
    RenderBatch batch(m_preview);
    {
        SkinHistory::Step step(
            m_document.history(),
            QStringLiteral("открытие скина «%1»").arg(QFileInfo(path).fileName()));
        openSkinFiles(skinPath);
    }
    m_skinPath = QFileInfo(path).absoluteFilePath();
    m_recent->add(m_skinPath);
    markSaved();
    offerKeptHistory(m_skinPath);
}

void MainWindow::openSkinFiles(const QString &path)
{
    importColourScheme(path);
    const auto setup =
        skinImagesSetup(startupSetup(), [this](const QString &text) { logToConsole(text); });
    for (const SkinImagesFailure &failure : m_document.openSkinImages(path, setup)) {
        const QString kept =
            failure.picturesKept ? QStringLiteral("\nФон и курсор оставлены прежними.") : QString();
        m_messageSink(QString(), failure.text + kept, failure.reason.message);
    }
}

void MainWindow::importColourScheme(const QString &path)
{
    RenderBatch batch(m_preview);
    // Colours read before a failure stay, on screen too.
    const auto loaded = m_document.loadSkin(path);
    if (!loaded) {
        m_messageSink(QString(), QStringLiteral("Ошибка при загрузке скина!"),
                      loaded.error().message);
        return;
    }
    showSelectedColour();
}

void MainWindow::quit()
{
    if (skinModified()) {
        const QString name = QFileInfo(m_skinPath).fileName();
        const QString text =
            name.isEmpty() ? QStringLiteral("Скин изменён. Сохранить изменения?")
                           : QStringLiteral("Скин «%1» изменён. Сохранить изменения?").arg(name);
        switch (m_askSave(text)) {
        case SaveAnswer::Cancel:
            return;
        case SaveAnswer::Save:
            // The save dialog as it was left; the program ends when it has saved.
            if (m_saveDialog) {
                m_saveDialog->show();
                m_saveDialog->raise();
                m_saveDialog->activateWindow();
                m_quitAfterSave = true;
                return;
            }
            break;
        case SaveAnswer::Discard:
            break;
        }
    }
    if (m_journal)
        m_journal->finish(m_skinPath);
    shutdown::close(scratchFolder());
    // A settings file that cannot be written is reported; the program still ends.
    saveSettings();
    m_previewWindow->setQuitting();
    m_previewWindow->close();
    QCoreApplication::exit(0);
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    event->ignore();
    // In the old interface this window holds the screen: closing it ends the program, with the
    // settings saved. In the new one it is only a tool window: closing hides it.
    if (m_oldInterface)
        quit();
    else
        hide();
}

void MainWindow::startJournal(const QString &folder)
{
    delete m_journal;
    m_journal = new WorkJournal(m_document.history(), folder, this);
    for (const QString &note : m_journal->notes())
        logToConsole(note);
    if (!m_journal->usable()) {
        logToConsole(m_journal->problem());
        statusBar()->showMessage(QStringLiteral("История изменений не сохраняется на диск: %1")
                                     .arg(m_journal->problem()));
        return;
    }
    connect(m_journal, &WorkJournal::failed, this, [this](const QString &message) {
        m_messageSink(QString(), QStringLiteral("История изменений больше не сохраняется на диск."),
                      message);
    });
    // Only what reading the last session added: the notes before it are logged already.
    const qsizetype logged = m_journal->notes().size();
    auto previous = m_journal->previous();
    for (const QString &note : m_journal->notes().mid(logged))
        logToConsole(note);
    if (!m_journal->usable()) {
        m_messageSink(QString(), QStringLiteral("История изменений не сохраняется на диск."),
                      m_journal->problem());
        return;
    }
    if (!previous && !m_journal->damagedCopy().isEmpty()) {
        m_messageSink(QString(),
                      QStringLiteral("Журнал истории изменений повреждён, работу из него "
                                     "восстановить не удалось."),
                      QStringLiteral("Его копия сохранена: %1")
                          .arg(QDir::toNativeSeparators(m_journal->damagedCopy())));
    }
    if (previous) {
        // A session that ended without "Выход" but changed nothing has nothing to give back.
        if (!previous->closed && !previous->steps.isEmpty()) {
            if (m_askQuestion(QStringLiteral("Восстановить несохранённую работу?"),
                              recoveryDetail(*previous, m_journal->damagedCopy())))
                m_document.history().replace(previous->origin, previous->steps, previous->index);
        } else if (previous->closed && !previous->skinPath.isEmpty()) {
            m_keptHistory = std::make_unique<ReplayedHistory>(std::move(*previous));
            // The skin given on the command line was opened before the journal was read.
            if (!m_skinPath.isEmpty())
                offerKeptHistory(m_skinPath);
        }
    }
    if (auto started = m_journal->start(); !started)
        m_messageSink(QString(), QStringLiteral("История изменений не сохраняется на диск."),
                      started.error().message);
}

// What the recovery question says under its text: the skin, the steps, and what of them could
// not be given back whole.
QString MainWindow::recoveryDetail(const ReplayedHistory &previous, const QString &damagedCopy)
{
    const QString name = previous.current().texts.skinFileName;
    QStringList lines = {QStringLiteral("Скин «%1», шагов: %2.")
                             .arg(name.isEmpty() ? QStringLiteral("без имени") : name)
                             .arg(previous.index)};
    if (!damagedCopy.isEmpty())
        lines.append(QStringLiteral("Журнал был повреждён: восстановлено то, что удалось "
                                    "прочесть; его копия — %1.")
                         .arg(QDir::toNativeSeparators(damagedCopy)));
    if (!previous.picturesLost.isEmpty()) {
        QStringList steps;
        for (const QString &step : previous.picturesLost)
            steps.append(step.isEmpty() ? QStringLiteral("начало")
                                        : QStringLiteral("«%1»").arg(step));
        lines.append(QStringLiteral("Картинки не найдены (%1): вместо них прежние.")
                         .arg(steps.join(QStringLiteral(", "))));
    }
    return lines.join(u'\n');
}

// The same skin opened as the last session left it gets that session's history back.
void MainWindow::offerKeptHistory(const QString &path)
{
    if (!m_keptHistory || m_keptHistory->skinPath != path)
        return;
    const std::unique_ptr<ReplayedHistory> kept = std::move(m_keptHistory);
    // The file holds the colours the history ended with. Its pictures may differ by their
    // packing (a JPEG read back), and its names are the file's: those stay.
    if (!m_document.state().sameColours(kept->current()))
        return;
    const SkinTexts opened = m_document.texts();
    m_document.history().replace(kept->origin, kept->steps, kept->index);
    m_document.setTexts(opened);
    logToConsole(
        QStringLiteral("История изменений скина восстановлена: %1 шагов.").arg(kept->steps.size()));
}

#include "ui/Unit1.h"

#include "containers/Base64Unit.h"
#include "containers/PictureCodecs.h"
#include "preview/mainTolvoPreview.h"
#include "ui/ColourControls.h"
#include "ui/ProgramIcon.h"
#include "ui/Shutdown.h"
#include "ui/Unit3.h"
#include "ui/Unit4.h"
#include "ui/Unit5.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QColorDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

QString missingFileMessage(const QString &file)
{
    return QStringLiteral("Ошибка!\nФайл \"%1\" не найден").arg(file);
}

} // namespace

TForm1::TForm1(const QString &programFolder, const QString &commandLineSkin, MessageSink sink,
               QWidget *parent)
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
    buildMainMenu();
    buildTabs();
    FormCreate(commandLineSkin);
}

TForm1::~TForm1()
{
    delete m_form4;
    delete m_form5;
    delete m_form3;
}

bool TForm1::startupFailed() const
{
    return m_form4 && m_form4->hasError();
}

// The start-up sequence. It stops at the first missing required file, leaving the start-up
// window on screen with its error; its "OK" ends the program.
void TForm1::FormCreate(const QString &commandLineSkin)
{
    m_startupComplete = false;
    m_form3 = new TForm3;
    m_form3->setWindowOpacity(0.0);
    m_form5 = new TForm5(m_scheme);
    connectPreviewWindow();

    m_form4 = new TForm4;
    connect(m_form4, &TForm4::okClicked, qApp, [] { QCoreApplication::exit(1); });
    m_form4->show();
    m_form4->repaint();

    QDir::setCurrent(m_programFolder);
    if (!loadDefaultPicture(QStringLiteral("default_back.jpg"),
                            QStringLiteral("Загрузка фона по умолчанию..."),
                            m_pictures.BackgroundSource, m_pictures.BackgroundPicture))
        return;
    if (!loadDefaultPicture(QStringLiteral("default_cursor.jpg"),
                            QStringLiteral("Загрузка курсора по умолчанию..."),
                            m_pictures.CursorSource, m_pictures.CursorPicture))
        return;
    m_scheme.setDefault();
    if (!createPreview())
        return;

    m_form4->setMessage(QStringLiteral("Готово!"));
    m_form4->hide();
    m_form4->deleteLater();
    m_form4 = nullptr;

    if (!commandLineSkin.isEmpty() && QFileInfo(commandLineSkin).isFile())
        openSkin(commandLineSkin);

    m_form3->setWindowOpacity(1.0);
    m_startupComplete = true;
}

bool TForm1::loadDefaultPicture(const QString &file, const QString &progress, QImage &source,
                                QImage &picture)
{
    m_form4->setMessage(progress);
    const QString path = m_programFolder + file;
    if (!QFileInfo::exists(path)) {
        m_form4->Error(missingFileMessage(file));
        return false;
    }
    const auto bytes = readWholeFile(path);
    const auto image = bytes ? decodeJpeg(*bytes, file) : fail(bytes.error());
    if (!image) {
        m_form4->Error(QStringLiteral("Ошибка!\nФайл \"%1\" не удалось прочитать").arg(file));
        return false;
    }
    source = *image;
    picture = *image;
    return true;
}

void TForm1::buildMainMenu()
{
    auto add = [](QMenu *menu, const QString &caption, bool enabled,
                  const QKeySequence &shortcut = {}) {
        QAction *action = menu->addAction(caption);
        action->setEnabled(enabled);
        action->setShortcut(shortcut);
        return action;
    };
    QMenu *file = menuBar()->addMenu(QStringLiteral("Файл"));
    connect(add(file, QStringLiteral("Открыть"), true, QKeySequence(Qt::CTRL | Qt::Key_O)),
            &QAction::triggered, this, &TForm1::N11Click);
    add(file, QStringLiteral("Сохранить"), false, QKeySequence(Qt::CTRL | Qt::Key_S));
    file->addSeparator();
    QMenu *import = file->addMenu(QStringLiteral("Импортировать"));
    connect(add(import, QStringLiteral("цветовую схему"), true), &QAction::triggered, this,
            &TForm1::N1Click);
    connect(add(import, QStringLiteral("фоновый рисунок"), true), &QAction::triggered, this,
            &TForm1::N6Click);
    connect(add(import, QStringLiteral("курсор"), true), &QAction::triggered, this,
            &TForm1::N7Click);
    QMenu *exportMenu = file->addMenu(QStringLiteral("Экспортировать"));
    add(exportMenu, QStringLiteral("*.skin"), false);
    add(exportMenu, QStringLiteral("*.mif"), false);
    exportMenu->addSeparator();
    connect(add(exportMenu, QStringLiteral("Фон"), true), &QAction::triggered, this,
            [this] { exportPicture(m_pictures.BackgroundPicture); });
    connect(add(exportMenu, QStringLiteral("Курсор"), true), &QAction::triggered, this,
            [this] { exportPicture(m_pictures.CursorPicture); });
    exportMenu->addSeparator();
    connect(add(exportMenu, QStringLiteral("Скриншот экрана"), true), &QAction::triggered, this,
            &TForm1::N12Click);
    file->addSeparator();
    connect(add(file, QStringLiteral("Выход"), true, QKeySequence(Qt::CTRL | Qt::Key_E)),
            &QAction::triggered, this, &TForm1::N4Click);
    QMenu *help = menuBar()->addMenu(QStringLiteral("Помощь"));
    add(help, QStringLiteral("Помощь"), false);
    add(help, QStringLiteral("О программе..."), false);
}

void TForm1::buildTabs()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(buildColourTab(), QStringLiteral("Настройка цветов"));
    PageControl1->addTab(new QWidget(PageControl1), QStringLiteral("Внешний вид"));
    PageControl1->addTab(buildMiscTab(), QStringLiteral("Разное"));
    PageControl1->addTab(buildConsoleTab(), QStringLiteral("Консоль"));
    // The console tab stays hidden until the console option turns it on.
    PageControl1->setTabVisible(3, false);
    setCentralWidget(PageControl1);
}

QWidget *TForm1::buildColourTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *slotBox = new QGroupBox(page);
    auto *grid = new QGridLayout(slotBox);
    RadioGroup2 = new QButtonGroup(this);
    // Two columns, filled top to bottom.
    for (int slot = 0; slot < kSlotCount; ++slot) {
        auto *item = new QRadioButton(slotCaption(slot), slotBox);
        RadioGroup2->addButton(item, slot);
        grid->addWidget(item, slot % 10, slot / 10);
    }
    RadioGroup2->button(0)->setChecked(true);
    connect(RadioGroup2, &QButtonGroup::idClicked, this, &TForm1::RadioGroup2Click);
    layout->addWidget(slotBox);
    m_colourControls = new ColourControls(page);
    layout->addWidget(m_colourControls);
    CheckBox1 = new QCheckBox(QStringLiteral("Показать экран настроек вместо меню"), page);
    layout->addWidget(CheckBox1);
    layout->addStretch();
    connect(CheckBox1, &QCheckBox::clicked, this, &TForm1::CheckBox1Click);
    connect(m_colourControls, &ColourControls::timerTick, this, &TForm1::Timer1Timer);
    connect(m_colourControls, &ColourControls::swatchClicked, this, &TForm1::Image1Click);
    connect(m_colourControls, &ColourControls::resetClicked, this, &TForm1::Button2Click);
    return page;
}

QWidget *TForm1::buildMiscTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Преобразовать файл в SVG"), page);
    auto *groupLayout = new QVBoxLayout(group);
    auto *button = new QPushButton(QStringLiteral("JPG,PNG=>SVG"), group);
    groupLayout->addWidget(button);
    layout->addWidget(group);
    layout->addStretch();
    connect(button, &QPushButton::clicked, this, [this] {
        const QString path =
            askPictureName(QStringLiteral("Графические форматы (png, jpg) (*.jpg *png)"));
        if (!path.isEmpty())
            convertToSvg(path);
    });
    return page;
}

QWidget *TForm1::buildConsoleTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_console = new QPlainTextEdit(page);
    m_console->setReadOnly(true);
    layout->addWidget(m_console);
    // The console is a developer's switch: never shown, off unless someone turns it on.
    CheckBox15 = new QCheckBox(QStringLiteral("Включить консоль"), page);
    CheckBox15->hide();
    connect(CheckBox15, &QCheckBox::toggled, this,
            [this](bool on) { PageControl1->setTabVisible(3, on); });
    return page;
}

void TForm1::LogToConsole(const QString &text)
{
    if (CheckBox15->isChecked())
        m_console->appendPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

QString TForm1::askPictureName(const QString &filter)
{
    return QFileDialog::getOpenFileName(m_form3, QString(), QString(), filter);
}

void TForm1::N6Click()
{
    const QString path =
        askPictureName(QStringLiteral("Графические форматы (bmp, png, jpg) (*.bmp *.jpg *png)"));
    if (!path.isEmpty())
        importBackground(path);
}

void TForm1::N7Click()
{
    const QString path =
        askPictureName(QStringLiteral("Графические форматы (bmp, png, jpg) (*.bmp *.jpg *png)"));
    if (!path.isEmpty())
        importCursor(path);
}

void TForm1::showPreviewPictures()
{
    if (!m_preview)
        return;
    m_preview->setBackground(PreviewBackground(m_pictures, m_preview->screenSize()));
    m_preview->setCursor(PreviewCursor(m_pictures));
}

void TForm1::importBackground(const QString &path)
{
    if (auto imported = ImportBackground(m_pictures, path); !imported)
        m_messageSink(QString(), imported.error().message, QString());
    showPreviewPictures();
    Drawcolor(m_scheme.slotColour(m_scheme.selectedSlot()));
}

void TForm1::importCursor(const QString &path)
{
    if (auto imported = ImportCursor(m_pictures, path); !imported)
        m_messageSink(QString(), imported.error().message, QString());
    showPreviewPictures();
    if (m_preview)
        m_preview->setColour(m_scheme.selectedSlot() + 1,
                             m_scheme.slotColour(m_scheme.selectedSlot()));
}

void TForm1::convertToSvg(const QString &path)
{
    if (auto written = ConvertPictureToSvg(path); !written)
        m_messageSink(QString(), written.error().message, QString());
}

void TForm1::Drawcolor(TColor colour)
{
    m_colourControls->showColour(colour);
    m_scheme.setSlotColour(m_scheme.selectedSlot(), colour);
    if (m_preview)
        m_preview->setColour(m_scheme.selectedSlot() + 1, colour);
}

void TForm1::Timer1Timer()
{
    Drawcolor(m_colourControls->sliderColour());
}

void TForm1::Image1Click()
{
    const QColor chosen =
        QColorDialog::getColor(toQColor(m_scheme.slotColour(m_scheme.selectedSlot())), this);
    if (chosen.isValid())
        Drawcolor(fromQColor(chosen));
}

void TForm1::Button2Click()
{
    m_scheme.setSlotColour(m_scheme.selectedSlot(), m_scheme.resetColour());
    Drawcolor(m_scheme.resetColour());
}

void TForm1::CheckBox1Click()
{
    RadioGroup2Click(m_scheme.selectedSlot());
}

// Picking a slot shows a screen where that slot can be seen.
void TForm1::RadioGroup2Click(int slot)
{
    m_scheme.selectSlot(slot);
    if (m_preview) {
        m_preview->regions().HoverSlot = 0;
        m_preview->Busy = true;
        m_preview->setShowPopup(m_popupOption);
        switch (slot) {
        case 0:
        case 1:
        case 2:
        case 4:
        case 5:
        case 17:
            m_preview->setShowMenu(false);
            m_preview->setActiveScreen(0);
            break;
        case 3:
            m_preview->setActiveScreen(1);
            m_preview->setShowMenu(false);
            break;
        case 6:
        case 7:
        case 8:
        case 9:
        case 10:
            m_preview->setShowMenu(!CheckBox1->isChecked());
            m_preview->setActiveScreen(CheckBox1->isChecked() ? 3 : 0);
            break;
        case 11:
        case 13:
        case 14:
        case 15:
        case 16:
            m_preview->setActiveScreen(2);
            m_preview->setShowMenu(false);
            break;
        default:
            break;
        }
        m_preview->Busy = false;
    }
    Drawcolor(m_scheme.slotColour(slot));
    m_scheme.selectSlot(slot);
    m_colourControls->setHexTexts(m_scheme.slotColour(slot));
}

void TForm1::connectPreviewWindow()
{
    connect(m_form3->N40, &QAction::triggered, this, &TForm1::N11Click);
    connect(m_form3->N14, &QAction::triggered, this, &TForm1::N1Click);
    connect(m_form3->N8, &QAction::triggered, this, &TForm1::N6Click);
    connect(m_form3->N13, &QAction::triggered, this, &TForm1::N7Click);
    m_form3->N8->setEnabled(true);
    m_form3->N13->setEnabled(true);
    connect(m_form3->N6, &QAction::triggered, this, [this] {
        show();
        raise();
        activateWindow();
    });
    connect(m_form3->N7, &QAction::triggered, this, &TForm1::N4Click);
    connect(m_form3, &TForm3::screenshotRequested, this, &TForm1::N12Click);
    connect(m_form3->N48, &QAction::triggered, this,
            [this] { exportPicture(m_pictures.BackgroundPicture); });
    connect(m_form3->N47, &QAction::triggered, this,
            [this] { exportPicture(m_pictures.CursorPicture); });
    connect(m_form3, &TForm3::slotClicked, this,
            [this](int slot, const QPoint &at) { m_form5->openForSlot(slot, at); });
    connect(m_form3, &TForm3::columnsChosen, this, [this](int n) { m_columnCount = n; });
    m_form3->ColumnCountSource = [this] {
        return m_columnCount;
    };
    // Closing the preview window any other way ends the program without saving anything.
    connect(m_form3, &TForm3::closedByUser, qApp, [] { QCoreApplication::exit(0); });
}

// Builds the simulated screen from the client's files and gives it the pictures, colours and
// fonts of a fresh start; false when a required file is missing (reported on the start-up window).
bool TForm1::createPreview()
{
    StartupReporter reporter;
    reporter.progress = [this](const QString &text) {
        m_form4->setMessage(text);
    };
    reporter.error = [this](const QString &text) {
        m_form4->Error(text);
    };
    std::mt19937 random(std::random_device{}());
    auto resources = loadPreviewResources(m_programFolder, reporter, random,
                                          [this](const QString &caption, const QString &text) {
                                              m_messageSink(caption, text, QString());
                                          });
    if (!resources)
        return false;
    m_preview = new TTolvoPreview(std::move(*resources), this);
    m_preview->Busy = true;
    m_form3->setPreview(m_preview);
    m_form5->setPreview(m_preview);
    // The background at the screen's size, as the screen-size step leaves it.
    showPreviewPictures();
    handColoursToPreview();
    m_preview->setShowMenu(false);
    m_preview->setColumns(2);
    const PhoneFont font = PhoneFont::fromPoints(QStringLiteral("Nokia Hindi S60"), 8, true);
    m_preview->setContactListFont(font);
    m_preview->setChatFont(font);
    m_preview->setSettingsFont(font);
    m_preview->Busy = false;
    m_preview->setActiveScreen(0);
    Drawcolor(m_scheme.slotColour(m_scheme.selectedSlot()));
    m_colourControls->setHexTexts(m_scheme.slotColour(m_scheme.selectedSlot()));
    if (const QScreen *display = QGuiApplication::primaryScreen())
        m_form3->move(display->availableGeometry().center() - m_form3->rect().center());
    return true;
}

void TForm1::handColoursToPreview()
{
    if (!m_preview)
        return;
    const auto &table = m_scheme.table();
    for (int index = 0; index < int(table.size()); ++index)
        m_preview->setColour(index, table[index]);
}

void TForm1::showMessage(const QString &caption, const QString &text, const QString &detail)
{
    QMessageBox box(QMessageBox::Information,
                    caption.isEmpty() ? QStringLiteral("Velmora for TolvoICQ") : caption, text,
                    QMessageBox::Ok, isVisible() ? this : static_cast<QWidget *>(m_form3));
    box.setInformativeText(detail);
    box.exec();
}

void TForm1::openSkin(const QString &path)
{
    if (m_preview)
        m_preview->Busy = true;
    importColourScheme(path);
    if (m_preview)
        m_preview->Busy = true;
    SkinImagesSetup setup;
    setup.ProgramFolder = m_programFolder;
    setup.OnProgress = [this](const QString &text) {
        LogToConsole(text);
    };
    setup.OnMessage = [this](const QString &caption, const QString &text) {
        m_messageSink(caption, text, QString());
    };
    const auto failures =
        OpenSkinImages(path, m_skinTexts.mifName, setup, m_imageFiles, m_pictures);
    for (const SkinImagesFailure &failure : failures)
        m_messageSink(QString(), failure.text, failure.reason.message);
    showPreviewPictures();
    if (m_preview) {
        m_preview->Busy = false;
        m_preview->Render();
    }
}

void TForm1::importColourScheme(const QString &path)
{
    const auto loaded = loadSkinFile(path, m_scheme, m_skinTexts);
    // Colours read before a failure stay, on screen too.
    handColoursToPreview();
    if (!loaded) {
        if (m_preview)
            m_preview->Busy = false;
        m_messageSink(QString(), QStringLiteral("Ошибка при загрузке скина!"),
                      loaded.error().message);
        return;
    }
    const TColor selected = m_scheme.slotColour(m_scheme.selectedSlot());
    Drawcolor(selected);
    m_colourControls->setHexTexts(selected);
}

void TForm1::quit()
{
    shutdown::close(m_programFolder);
    m_form3->setQuitting();
    m_form3->close();
    QCoreApplication::exit(0);
}

void TForm1::N11Click()
{
    const QString path = QFileDialog::getOpenFileName(m_form3, QString(), QString(),
                                                      QStringLiteral("*.skin (*.skin)"));
    if (!path.isEmpty())
        openSkin(path);
}

void TForm1::N1Click()
{
    const QString path = QFileDialog::getOpenFileName(m_form3, QString(), QString(),
                                                      QStringLiteral("*.skin (*.skin)"));
    if (!path.isEmpty())
        importColourScheme(path);
}

void TForm1::N4Click()
{
    quit();
}

QString TForm1::askBmpName()
{
    const QString name = QFileDialog::getSaveFileName(m_form3, QString(), QString(),
                                                      QStringLiteral("*.bmp (*.bmp)"));
    return name.isEmpty() ? name : bmpExportPath(name);
}

void TForm1::N12Click()
{
    const QString path = askBmpName();
    if (path.isEmpty())
        return;
    if (const QString error = m_form3->saveScreenshot(path); !error.isEmpty())
        m_messageSink(QString(), error, QString());
}

void TForm1::exportPicture(const QImage &picture)
{
    const QString path = askBmpName();
    if (path.isEmpty())
        return;
    if (auto written = ExportPicture(picture, path); !written)
        m_messageSink(QString(), written.error().message, QString());
}

void TForm1::closeEvent(QCloseEvent *event)
{
    // In the normal interface the main window is only a tool window: closing hides it.
    event->ignore();
    hide();
}

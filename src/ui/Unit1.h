#pragma once

#include "document/SkinDocument.h"
#include "startup/Startup.h"

#include <QMainWindow>
#include <QSet>

#include <functional>
#include <memory>

class ColourControls;
class QAction;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QPlainTextEdit;
class QSpinBox;
class QTabWidget;
class TForm3;
class TForm4;
class TForm5;
class TForm6;
class TTolvoPreview;
enum class OutputKind : int;
namespace platform {
class ScratchFolder;
}

// The main window: main menu and the option tabs. Creating it runs the whole start-up.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Where messages for the user go: a message box by default; tests catch them instead.
    // The caption is empty for the program's own title.
    using MessageSink =
        std::function<void(const QString &caption, const QString &text, const QString &detail)>;

    // programFolder ends in '/'; commandLineSkin is the first program argument, if any (an
    // absolute path: the program changes its current folder). seed fixes the sample contact
    // list; by default it is random.
    TForm1(const QString &programFolder, const QString &commandLineSkin, MessageSink sink = {},
           QWidget *parent = nullptr, std::optional<unsigned> seed = std::nullopt);
    ~TForm1() override;

    TForm3 *previewWindow() const { return m_form3; }
    // The start-up window while it exists (it is released after a successful start-up).
    TForm4 *startupWindow() const { return m_form4; }
    bool startupComplete() const { return m_startupComplete; }
    bool startupFailed() const;

    const QString &ProgramFolder() const { return m_programFolder; }
    // This run's private scratch folder (with a trailing '/'); empty if it could not be made.
    QString scratchFolder() const;
    // The skin being edited.
    SkinDocument &document() { return m_document; }
    // The simulated screen; null when start-up stopped before it was built.
    TTolvoPreview *preview() const { return m_preview; }

    // Opens a skin file with everything that belongs to it; reports failures to the user.
    void openSkin(const QString &path);
    // Reads only the colour scheme of a skin file.
    void importColourScheme(const QString &path);
    // "Выход": save settings, clean up, end the program.
    void quit();

    TForm5 *colourWindow() const { return m_form5; }
    // The save dialog; null when start-up stopped before the scratch folder was made.
    TForm6 *saveWindow() const { return m_form6; }
    // "Сохранить" and the two exports of both menus: the save dialog, set up for that output.
    void openSaveWindow(OutputKind kind);
    QAction *skinmif1 = nullptr, *skin1 = nullptr, *mif1 = nullptr;

    // The colour tab.
    void Drawcolor(TColor colour);
    void RadioGroup2Click(int slot);
    void CheckBox1Click();
    void Button2Click();
    void Image1Click();
    void Timer1Timer();
    ColourControls *colourControls() const { return m_colourControls; }
    QButtonGroup *RadioGroup2 = nullptr;
    QCheckBox *CheckBox1 = nullptr;

    // The background and cursor imports; false when the name has no picture ending.
    void importBackground(const QString &path);
    void importCursor(const QString &path);
    // "JPG,PNG=>SVG" for a chosen picture file.
    void convertToSvg(const QString &path);
    // The console log: kept only while "Включить консоль" is ticked.
    void LogToConsole(const QString &text);
    QCheckBox *CheckBox15 = nullptr;
    QPlainTextEdit *consoleLog() const { return m_console; }

    // "Внешний вид", group "Разрешение экрана": the phone model or "Своё..." (always the last
    // entry), whether the phone's picture frames the screen, and the typed size, which counts
    // only while "Своё..." is selected. Each size field carries its own arrows (UpDown2, UpDown4).
    QComboBox *ComboBox1 = nullptr;
    QCheckBox *CheckBox5 = nullptr;
    QSpinBox *Edit6 = nullptr;
    QSpinBox *Edit8 = nullptr;
    // The selected entry takes effect: the screen size, the phone frame and which fields apply.
    void ComboBox1Change();
    void CheckBox5Click();
    // A size field changed: the screen follows it while "Своё..." is selected.
    void Edit6Change();
    // Selects the last model of that name, or "Своё..." when there is none, and applies it.
    void selectModel(const QString &name);
    // The models read at start-up from mobiles/base.txt; empty when the file could not be read.
    const PhoneModelList &phoneModels() const { return m_phoneModels; }

    // Column count as the "Число колонок" option holds it.
    int columnCount() const { return m_columnCount; }
    void setColumnCount(int columns) { m_columnCount = columns; }
    bool popupOption() const { return m_popupOption; }
    void setPopupOption(bool on);

    QTabWidget *PageControl1 = nullptr;

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const QString &commandLineSkin, std::optional<unsigned> seed);
    StartupSetup startupSetup();
    // The options the window shows before the settings file is read: the option defaults, with
    // the settings file's default values for the options that have no control yet.
    void applyStartupOptions();
    void buildMainMenu();
    void buildTabs();
    QWidget *buildColourTab();
    QWidget *buildAppearanceTab();
    QWidget *buildMiscTab();
    QWidget *buildConsoleTab();
    QString askPictureName(const QString &filter);
    void connectPreviewWindow();
    void createSaveWindow();
    void showMessage(const QString &caption, const QString &text, const QString &detail);
    bool createPreview(std::optional<unsigned> seed);
    void showSelectedColour();
    void loadModelList();
    // The preview's screen takes the model's size, framed by its picture when there is one.
    void showModel(int index, bool framed);

    void N11Click();
    void N1Click();
    void N4Click();
    void N12Click();
    void exportPicture(const QImage &picture);
    void N6Click();
    void N7Click();
    QString askBmpName();

    QString m_programFolder;
    std::unique_ptr<platform::ScratchFolder> m_scratch;
    SkinDocument m_document;
    TForm3 *m_form3 = nullptr;
    TForm4 *m_form4 = nullptr;
    TForm5 *m_form5 = nullptr;
    TForm6 *m_form6 = nullptr;
    ColourControls *m_colourControls = nullptr;
    int m_columnCount = 2;
    // "Показать всплывающее окно": picking a slot shows the pop-up as this option says. The
    // appearance tab's check box will hold it; until then the preview menu's toggle sets it.
    bool m_popupOption = false;
    TTolvoPreview *m_preview = nullptr;
    PhoneModelList m_phoneModels;
    // Models whose picture could not be loaded and the user was told so: once is enough.
    QSet<int> m_pictureWarned;
    // The old interface shows the screen inside this window, where a phone frame has no place:
    // it will keep "Телефон" disabled.
    bool m_oldInterface = false;
    bool m_startupComplete = false;
    QPlainTextEdit *m_console = nullptr;
    MessageSink m_messageSink;
};

#pragma once

#include "containers/SkinImages.h"
#include "containers/SkinPictures.h"
#include "core/ColourScheme.h"
#include "core/SkinFile.h"

#include <QMainWindow>

#include <functional>

class ColourControls;
class QAction;
class QButtonGroup;
class QCheckBox;
class QPlainTextEdit;
class QTabWidget;
class TForm3;
class TForm4;
class TForm5;
class TTolvoPreview;

// The main window: main menu and the option tabs. Creating it runs the whole start-up.
class TForm1 : public QMainWindow
{
    Q_OBJECT
public:
    // Where messages for the user go: a message box by default; tests catch them instead.
    // The caption is empty for the program's own title.
    using MessageSink =
        std::function<void(const QString &caption, const QString &text, const QString &detail)>;

    // programFolder ends in '/'; commandLineSkin is the first program argument, if any.
    TForm1(const QString &programFolder, const QString &commandLineSkin, MessageSink sink = {},
           QWidget *parent = nullptr);
    ~TForm1() override;

    TForm3 *previewWindow() const { return m_form3; }
    // The start-up window while it exists (it is released after a successful start-up).
    TForm4 *startupWindow() const { return m_form4; }
    bool startupComplete() const { return m_startupComplete; }
    bool startupFailed() const;

    const QString &ProgramFolder() const { return m_programFolder; }
    ColourScheme &scheme() { return m_scheme; }
    SkinTexts &skinTexts() { return m_skinTexts; }
    const SkinPictures &pictures() const { return m_pictures; }
    // The simulated screen; null when start-up stopped before it was built.
    TTolvoPreview *preview() const { return m_preview; }

    // Opens a skin file with everything that belongs to it; reports failures to the user.
    void openSkin(const QString &path);
    // Reads only the colour scheme of a skin file.
    void importColourScheme(const QString &path);
    // "Выход": save settings, clean up, end the program.
    void quit();

    TForm5 *colourWindow() const { return m_form5; }

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
    const SkinImageFiles &imageFiles() const { return m_imageFiles; }

    // Column count as the "Число колонок" option holds it.
    int columnCount() const { return m_columnCount; }
    void setColumnCount(int columns) { m_columnCount = columns; }

    QTabWidget *PageControl1 = nullptr;

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void FormCreate(const QString &commandLineSkin);
    bool loadDefaultPicture(const QString &file, const QString &progress, QImage &source,
                            QImage &picture);
    void buildMainMenu();
    void buildTabs();
    QWidget *buildColourTab();
    QWidget *buildMiscTab();
    QWidget *buildConsoleTab();
    void showPreviewPictures();
    QString askPictureName(const QString &filter);
    void connectPreviewWindow();
    void showMessage(const QString &caption, const QString &text, const QString &detail);
    bool createPreview();
    void handColoursToPreview();

    void N11Click();
    void N1Click();
    void N4Click();
    void N12Click();
    void exportPicture(const QImage &picture);
    void N6Click();
    void N7Click();
    QString askBmpName();

    QString m_programFolder;
    TForm3 *m_form3 = nullptr;
    TForm4 *m_form4 = nullptr;
    TForm5 *m_form5 = nullptr;
    ColourControls *m_colourControls = nullptr;
    int m_columnCount = 2;
    // The pop-up option of the appearance tab; off until that tab lets the user turn it on.
    bool m_popupOption = false;
    TTolvoPreview *m_preview = nullptr;
    bool m_startupComplete = false;
    ColourScheme m_scheme;
    SkinTexts m_skinTexts;
    SkinPictures m_pictures;
    SkinImageFiles m_imageFiles;
    QPlainTextEdit *m_console = nullptr;
    MessageSink m_messageSink;
};

#pragma once

#include "document/SkinDocument.h"
#include "preview/PreviewOptions.h"
#include "startup/Startup.h"
#include "ui/CommandActions.h"
#include "ui/RecentSkins.h"

#include <QFont>
#include <QMainWindow>
#include <QSet>

#include <array>
#include <functional>
#include <memory>
#include <optional>

class ArrowSpinBox;
class ColourControls;
class HistoryActions;
class WorkJournal;
struct ReplayedHistory;
class LegibilityPanel;
class QualityChecks;
class SlotUsageStrip;
class QAction;
class QMessageBox;
class QBoxLayout;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabWidget;
struct PhoneFont;
struct SettingsValues;
class AboutBox;
class PreviewWindow;
class StartupWindow;
class ColourWindow;
class SaveDialog;
class PhonePreview;
enum class OutputKind : int;
class QUrl;
namespace platform {
class AssociationStore;
class ScratchFolder;
} // namespace platform

// The main window: main menu and the option tabs. Creating it runs the whole start-up.
class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    // Where messages for the user go: a message box by default; tests catch them instead.
    // The caption is empty for the program's own title.
    using MessageSink =
        std::function<void(const QString &caption, const QString &text, const QString &detail)>;
    // Asks for a font starting from the given one; nothing when the user cancels. The font
    // dialog by default; tests answer instead.
    using FontAsker = std::function<std::optional<QFont>(const QFont &current)>;
    // Asks for a file to open (save = false) or to write, starting in folder; "" when cancelled.
    // The file dialogs by default; tests answer instead.
    using FileAsker =
        std::function<QString(bool save, const QString &folder, const QString &filter)>;
    // Opens an address with the desktop's default handler (false when nothing could open it);
    // tests catch it instead.
    using UrlOpener = std::function<bool(const QUrl &)>;
    // Asks for a folder, starting in the given one; "" when cancelled. The folder dialog by
    // default; tests answer instead.
    using FolderAsker = std::function<QString(const QString &start)>;

    // programFolder ends in '/'; commandLineSkin is the first program argument, if any (an
    // absolute path: the program changes its current folder). seed fixes the sample contact
    // list; by default it is random.
    MainWindow(const QString &programFolder, const QString &commandLineSkin, MessageSink sink = {},
               QWidget *parent = nullptr, std::optional<unsigned> seed = std::nullopt);
    ~MainWindow() override;

    // The box a message is shown in: the program's title unless a caption is given, the
    // detail under the text.
    static std::unique_ptr<QMessageBox> messageBox(const QString &caption, const QString &text,
                                                   const QString &detail, QWidget *parent);

    PreviewWindow *previewWindow() const { return m_previewWindow; }
    // The start-up window while it exists (it is released after a successful start-up).
    StartupWindow *startupWindow() const { return m_startupWindow; }
    bool startupComplete() const { return m_startupComplete; }
    bool startupFailed() const;

    const QString &programFolder() const { return m_programFolder; }
    // This run's private scratch folder (with a trailing '/'); empty if it could not be made.
    QString scratchFolder() const;
    // The skin being edited.
    SkinDocument &document() { return m_document; }
    // The simulated screen; null when start-up stopped before it was built.
    PhonePreview *preview() const { return m_preview; }

    // Opens a skin file with everything that belongs to it; reports failures to the user.
    void openSkin(const QString &path);
    // The skin's colours, texts and pictures into the document, as one step or part of one.
    void openSkinFiles(const QString &path);
    // Reads only the colour scheme of a skin file.
    void importColourScheme(const QString &path);
    // "Выход": save settings, clean up, end the program.
    void quit();

    ColourWindow *colourWindow() const { return m_colourWindow; }
    // The save dialog; null when start-up stopped before the scratch folder was made.
    SaveDialog *saveWindow() const { return m_saveDialog; }
    // "Сохранить" and the two exports of both menus: the save dialog, set up for that output.
    void openSaveWindow(OutputKind kind);
    // The file and help commands of both menus.
    const CommandActions &commands() const { return *m_commands; }
    // "Недавние" of both menus.
    RecentSkins &recentSkins() const { return *m_recent; }
    // The separator after "*.skin" and "*.mif", hidden with them in the simplified mode.
    QAction *exportSeparator() const { return m_exportSeparator; }

    // The colour tab.
    void applyColour(TColor colour);
    void slotButtonChosen(int slot);
    // The slot list's colour swatch of one slot, or of all (-1).
    void showSlotSwatches(int slot);
    void settingsScreenToggled();
    void resetColourClicked();
    void swatchClicked();
    void applySliderColour();
    ColourControls *colourControls() const { return m_colourControls; }
    QButtonGroup *slotButtons() const { return m_slotButtons; }
    QCheckBox *settingsScreenCheck() const { return m_settingsScreenCheck; }

    // The background and cursor imports; false when the name has no picture ending.
    void importBackground(const QString &path);
    void importCursor(const QString &path);
    // A file dropped on the phone screen: a picture becomes the background, or the cursor when
    // dropped on the selection cursor's row; a skin or package opens; a palette is imported.
    // Each through the same path as its menu command.
    void openDroppedFile(const QString &path, bool onCursor);
    // "JPG,PNG=>SVG" for a chosen picture file.
    void convertToSvg(const QString &path);
    // The console log: kept only while "Включить консоль" is ticked.
    void logToConsole(const QString &text);
    QCheckBox *consoleCheck() const { return m_consoleCheck; }
    QPlainTextEdit *consoleLog() const { return m_console; }

    // "Внешний вид", group "Разрешение экрана": the phone model or "Своё..." (always the last
    // entry), whether the phone's picture frames the screen, and the typed size, which counts
    // only while "Своё..." is selected. Each size field carries its own arrows.
    QComboBox *modelCombo() const { return m_modelCombo; }
    QCheckBox *phoneFrameCheck() const { return m_phoneFrameCheck; }
    QSpinBox *screenWidthSpin() const { return m_screenWidthSpin; }
    QSpinBox *screenHeightSpin() const { return m_screenHeightSpin; }
    // The selected model's own screen size; empty for "Своё...".
    QLabel *modelSizeLabel() const { return m_modelSizeLabel; }
    // The selected entry takes effect: the screen size, the phone frame and which fields apply.
    void modelChosen();
    void phoneFrameToggled();
    // A size field changed: the screen follows it while "Своё..." is selected.
    void screenSizeEdited();
    // Selects the last model of that name, or "Своё..." when there is none, and applies it.
    void selectModel(const QString &name);
    // The models read at start-up from mobiles/base.txt; empty when the file could not be read.
    const PhoneModelList &phoneModels() const { return m_phoneModels; }

    // "Внешний вид": the preview options. The on/off ones are the rows of kPreviewToggles: a
    // check box each (none for the menu's side), whose change sets the preview and the check
    // marks of the preview menu; the menu's items change the boxes, so both stay in step.
    QCheckBox *toggleCheck(Toggle id) const { return m_toggleChecks[std::size_t(id)]; }
    // An option's state as the window shows it: its box, or the preview for one without.
    bool toggleValue(Toggle id) const;
    // "Сортировка": 0 by status, 1 by name.
    QButtonGroup *sortButtons() const { return m_sortButtons; }
    // "Число колонок" with its arrows: only the arrows set the column count.
    ArrowSpinBox *columnCountSpin() const { return m_columnCountSpin; }
    QPushButton *contactListFontButton() const { return m_contactListFontButton; }
    QPushButton *chatFontButton() const { return m_chatFontButton; }
    QPushButton *settingsFontButton() const { return m_settingsFontButton; }
    void toggleChanged(Toggle id);
    void sortChosen(int index);
    void columnArrowClicked(int position);
    void chooseContactListFont();
    void chooseChatFont();
    void chooseSettingsFont();
    // The column count as the spinner's position holds it; typing alone does not change it.
    int columnCount() const { return m_columnCount; }
    // Sets the spinner and hands the count to the preview, as its arrows would.
    void setColumnCount(int columns);
    // Every check mark and enabled state of the preview menu's option items from the options.
    void updateMenuChecks();
    void setFontAsker(FontAsker asker) { m_askFont = std::move(asker); }

    // "Разное": the colour window's opacity (100..255), "Способ выделения объектов",
    // "Показывать окно настроек при запуске", "Старый интерфейс", "Режим эксперта",
    // "Ассоциировать приложение с расширением *.skin".
    QSlider *opacitySlider() const { return m_opacitySlider; }
    QButtonGroup *selectionStyleButtons() const { return m_selectionStyleButtons; }
    QCheckBox *settingsAtStartCheck() const { return m_settingsAtStartCheck; }
    QCheckBox *oldInterfaceCheck() const { return m_oldInterfaceCheck; }
    QCheckBox *expertModeCheck() const { return m_expertModeCheck; }
    QCheckBox *associationCheck() const { return m_associationCheck; }
    QGroupBox *svgGroup() const { return m_svgGroup; }
    QGroupBox *opacityGroup() const { return m_opacityGroup; }
    QGroupBox *selectionGroup() const { return m_selectionGroup; }
    // The panel of "Разное"; the simplified mode puts it on the window as a strip.
    QWidget *miscPanel() const { return m_miscPanel; }
    void opacityChanged(int position);
    void selectionStyleChosen(int index);
    // Expert or simplified mode, then the interface handler.
    void expertModeToggled();
    // Old interface (the screen inside this window) or new (in the preview window).
    void oldInterfaceToggled();
    bool oldInterface() const { return m_oldInterface; }
    // "Ассоциировать приложение с расширением *.skin": on associates .skin files with this
    // program, off gives them back to the previous handler.
    void associationToggled();
    // The store the check box acts on; the box then shows what it says.
    void setAssociationStore(std::unique_ptr<platform::AssociationStore> store);
    platform::AssociationStore *associationStore() const { return m_association.get(); }

    // "Помощь": Help.html of the program folder in the desktop's browser; nothing when missing.
    void openHelp();
    // "О программе...": the about box, without blocking.
    void showAbout();
    AboutBox *aboutBox() const { return m_aboutBox; }
    void setUrlOpener(UrlOpener opener);
    void setFolderAsker(FolderAsker asker) { m_askFolder = std::move(asker); }
    // "Экспортировать → Все экраны…": asks for a folder and writes every screen of the skin
    // for every phone model there, with an index page and a contact sheet, showing progress.
    void exportAllScreens();
    // The twenty colours from a .gpl or .json palette (one step), and to a .gpl, .json or .css
    // file by the name's ending (.gpl when it has none of these).
    void importPalette(const QString &path);
    void askPaletteToImport();
    void askPaletteToExport();
    void exportPalette(const QString &path);
    // Shows one of the named screens (contacts, chat-menu, popup, …) with the options that
    // open it, their check marks following.
    void showNamedScreen(const QString &name);
    // A yes-or-no question with a line of detail under it; a message box by default, tests
    // answer instead.
    using QuestionAsker = std::function<bool(const QString &text, const QString &detail)>;
    void setQuestionAsker(QuestionAsker asker) { m_askQuestion = std::move(asker); }
    // "Выход" with unsaved changes: save them (Yes), leave them (No) or stay (Cancel); a
    // message box by default, tests answer instead.
    enum class SaveAnswer { Save, Discard, Cancel };
    using SaveAsker = std::function<SaveAnswer(const QString &text)>;
    void setSaveAsker(SaveAsker asker) { m_askSave = std::move(asker); }
    // The skin file the work belongs to (last opened or saved), empty for a new skin, and
    // whether the skin has changed since it was opened or saved.
    QString skinPath() const { return m_skinPath; }
    bool skinModified() const;
    // The status bar's line about the open skin.
    QString skinStatusText() const;
    // Keeps the history in folder from now on. Work a crashed or killed session left there is
    // offered back first ("Восстановить несохранённую работу?"); the history of the skin the
    // last session closed normally comes back when that skin is opened again.
    void startJournal(const QString &folder);
    WorkJournal *journal() const { return m_journal; }
    QualityChecks *qualityChecks() const { return m_quality; }
    HistoryActions *historyActions() const { return m_historyActions; }
    LegibilityPanel *legibilityPanel() const { return m_legibility; }
    SlotUsageStrip *usageStrip() const { return m_usageStrip; }
    void setFileAsker(FileAsker asker) { m_askFile = std::move(asker); }
    // The file commands of both menus.
    void openSkinAsked();
    void importColourSchemeAsked();
    void importBackgroundAsked();
    void importCursorAsked();
    void screenshotAsked();

    QTabWidget *optionTabs() const { return m_optionTabs; }

    void setMessageSink(MessageSink sink) { m_messageSink = std::move(sink); }
    // The names of the replaceable services (dialogs, URL opener, association store, …) that
    // are not set: empty for a window built as the program builds it.
    QStringList unsetSeams() const;

    // The settings file: this program's Settings.cfg, in the program folder when this run can
    // write there, else in the user's configuration folder.
    QString settingsPath() const;
    // What the controls hold, as the settings file keeps it.
    SettingsValues currentSettings() const;
    // Sets every control from the values, running the handlers of those that change.
    void applySettings(const SettingsValues &values);
    // Writes the settings file; a failure is reported to the user. "Выход" calls it.
    bool saveSettings();

protected:
    void closeEvent(QCloseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;

private:
    CommandActions *m_commands = new CommandActions(this);
    RecentSkins *m_recent = new RecentSkins(this);
    QAction *m_exportSeparator = nullptr;
    QButtonGroup *m_slotButtons = nullptr;
    QCheckBox *m_settingsScreenCheck = nullptr;
    QCheckBox *m_consoleCheck = nullptr;
    QComboBox *m_modelCombo = nullptr;
    QCheckBox *m_phoneFrameCheck = nullptr;
    QSpinBox *m_screenWidthSpin = nullptr;
    QSpinBox *m_screenHeightSpin = nullptr;
    QLabel *m_modelSizeLabel = nullptr;
    QButtonGroup *m_sortButtons = nullptr;
    ArrowSpinBox *m_columnCountSpin = nullptr;
    QPushButton *m_contactListFontButton = nullptr;
    QPushButton *m_chatFontButton = nullptr;
    QPushButton *m_settingsFontButton = nullptr;
    QSlider *m_opacitySlider = nullptr;
    QButtonGroup *m_selectionStyleButtons = nullptr;
    QCheckBox *m_settingsAtStartCheck = nullptr;
    QCheckBox *m_oldInterfaceCheck = nullptr;
    QCheckBox *m_expertModeCheck = nullptr;
    QCheckBox *m_associationCheck = nullptr;
    QGroupBox *m_svgGroup = nullptr;
    QGroupBox *m_opacityGroup = nullptr;
    QGroupBox *m_selectionGroup = nullptr;
    QWidget *m_miscPanel = nullptr;
    QTabWidget *m_optionTabs = nullptr;
    void FormCreate(const QString &commandLineSkin, std::optional<unsigned> seed);
    StartupSetup startupSetup();
    // The options the window shows before the settings file is read: the option defaults, with
    // the settings file's default values for the options that have no control yet.
    void applyStartupOptions();
    void buildMainMenu();
    void runCommand(Command id);
    void buildTabs();
    QWidget *buildColourTab();
    QWidget *buildAppearanceTab();
    QWidget *buildMiscTab();
    QWidget *buildConsoleTab();
    void connectQualityChecks();
    void offerKeptHistory(const QString &path);
    static QString recoveryDetail(const ReplayedHistory &previous, const QString &damagedCopy);
    QWidget *buildOptionsGroup();
    QWidget *buildFontsGroup();
    QWidget *buildOpacityGroup();
    QWidget *buildSelectionGroup();
    void connectOptionItems();
    void chooseFont(PhoneFont PreviewState::*font);
    // Puts the "Разное" panel into its tab (expert) or onto the window as a strip.
    void placeMiscPanel(bool inTab);
    void lendPreviewControl();
    void openColourWindow(int slot, const QRect &element);
    void loadSettings();
    void placeWindowsFirstTime();
    void applyDesktop(const SettingsValues &values);
    void reportSettingsProblem(const QString &text);
    QString askPictureName(const QString &filter);
    void connectPreviewWindow();
    void createSaveWindow();
    void showMessage(const QString &caption, const QString &text, const QString &detail);
    // The window a dialog belongs to: this one while shown, else the preview window.
    QWidget *dialogParent();
    bool createPreview(std::optional<unsigned> seed);
    void showSelectedColour();
    // The colour editor follows a change made elsewhere (undo, redo, an import).
    void followColour(int slot);
    void followSelectedSlot(int slot);
    void connectColourDrags(ColourControls *controls);
    void loadModelList();
    // The preview's screen takes the model's size, framed by its picture when there is one.
    void showModel(int index, bool framed);

    void quitAsked();
    // The open skin's name and state in the status bar and in both menus' "Сохранить".
    void updateSkinStatus();
    // The history's present state is what the skin file holds.
    void markSaved();
    void skinSaved(const QStringList &written, OutputKind kind);
    // Shows a short line over the window the user works in, gone after a few seconds.
    void showNotice(const QString &text);
    void exportPicture(const QImage &picture);
    QString askBmpName();
    QString askSkinName();
    QString dialogFolder();
    // Remembers the folder of a chosen file for the next dialog; returns the name unchanged.
    QString remembered(const QString &chosen);

    QString m_programFolder;
    std::unique_ptr<platform::ScratchFolder> m_scratch;
    // The icon files, loading while the window builds itself; gone once start-up took them.
    std::unique_ptr<IconPreload> m_iconPreload;
    SkinDocument m_document;
    PreviewWindow *m_previewWindow = nullptr;
    StartupWindow *m_startupWindow = nullptr;
    ColourWindow *m_colourWindow = nullptr;
    SaveDialog *m_saveDialog = nullptr;
    ColourControls *m_colourControls = nullptr;
    SlotUsageStrip *m_usageStrip = nullptr;
    LegibilityPanel *m_legibility = nullptr;
    QualityChecks *m_quality = nullptr;
    HistoryActions *m_historyActions = nullptr;
    WorkJournal *m_journal = nullptr;
    QuestionAsker m_askQuestion;
    SaveAsker m_askSave;
    // "Выход" asked for a save first: the program ends once it is done.
    bool m_quitAfterSave = false;
    QLabel *m_skinStatus = nullptr;
    // The skin file the work was last opened from, and the history the last session kept
    // for its skin, until that skin is opened.
    QString m_skinPath;
    int m_packagesOpened = 0;
    std::unique_ptr<ReplayedHistory> m_keptHistory;
    int m_columnCount = 2;
    std::array<QCheckBox *, kToggleCount> m_toggleChecks{};
    FontAsker m_askFont;
    UrlOpener m_openUrl;
    FolderAsker m_askFolder;
    FileAsker m_askFile;
    // Where the next file dialog starts: empty until the first one.
    QString m_dialogFolder;
    std::unique_ptr<platform::AssociationStore> m_association;
    AboutBox *m_aboutBox = nullptr;
    // The window's own column (tabs, or the "Разное" strip) and the row that adds the screen
    // to its right in the old interface.
    QBoxLayout *m_columnLayout = nullptr;
    QBoxLayout *m_rowLayout = nullptr;
    QBoxLayout *m_miscPageLayout = nullptr;
    // The window's size in the expert mode, to return to from the strip of the simplified one.
    QSize m_expertSize;
    // The window's size before the old interface widened it with the screen.
    QSize m_sizeBeforeLending;
    PhonePreview *m_preview = nullptr;
    PhoneModelList m_phoneModels;
    // Models whose picture could not be loaded and the user was told so: once is enough.
    QSet<int> m_pictureWarned;
    // The old interface shows the screen inside this window, where a phone frame has no place:
    // it keeps "Телефон" disabled.
    bool m_oldInterface = false;
    bool m_startupComplete = false;
    QPlainTextEdit *m_console = nullptr;
    MessageSink m_messageSink;
};

#pragma once

#include "export/SaveSkin.h"

#include <QWidget>

#include <functional>

class QComboBox;
class QFileSystemModel;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTreeView;

// The save dialog: names, copyright, target folder, picture formats and what to write. It is
// made once and only ever hidden, so whatever the user typed is still there the next time. The
// saving itself is saveSkin's; this window only gathers the request and shows the outcome.
class SaveDialog : public QWidget
{
    Q_OBJECT
public:
    SaveDialog(SkinDocument &document, SaveEnvironment env, QWidget *parent = nullptr);

    // Asks whether a file that exists may be replaced; a message box by default, tests answer
    // instead.
    using ReplaceAsker = std::function<bool(const QString &text)>;
    void setReplaceAsker(ReplaceAsker asker) { m_askReplace = std::move(asker); }
    bool hasReplaceAsker() const { return bool(m_askReplace); }

    // The menus' way in: selects what to write, sets the controls for it, shows the window.
    void showForKind(OutputKind kind);
    // The expert layout shows every choice; the simplified one asks only for a base name and
    // the phone's system version. The window starts in the expert layout.
    void setExpertLayout(bool expert);
    bool expertLayout() const;

    // The folder selected in the tree (empty when none), which the settings file keeps, and
    // choosing one: an existing folder is selected in the tree when the tree reaches it and
    // put into the folder field; a folder that does not exist is ignored. The save itself goes
    // to the folder field, which may also be typed.
    QString chosenFolder() const;
    void chooseFolder(const QString &path);

    // What the fields ask for, as saveSkin takes it.
    SaveRequest request() const;
    // "Сохранить": saves, and hides the window unless the save failed.
    void saveClicked();
    // "Сохранить" list: enables the controls that matter for the chosen output.
    void outputKindChosen();
    // The Symbian version list of the simplified layout.
    void systemVersionChosen();

    // The controls.
    QLineEdit *skinNameEdit = nullptr; // skin name
    QLineEdit *mifNameEdit = nullptr;  // MIF name
    QLineEdit *folderEdit = nullptr;   // folder
    QLineEdit *baseNameEdit = nullptr; // base name (simplified layout)
    QPlainTextEdit *copyrightEdit = nullptr;
    QTreeView *folderTree = nullptr;
    QFileSystemModel *folderModel = nullptr;
    QComboBox *outputKindCombo = nullptr;    // what to write
    QComboBox *systemVersionCombo = nullptr; // Symbian version
    QPushButton *cancelButton = nullptr;     // "Отмена"
    QPushButton *saveButton = nullptr;       // "Сохранить"

    QGroupBox *mifNameGroup = nullptr;
    QGroupBox *skinNameGroup = nullptr;
    QGroupBox *baseNameGroup = nullptr;
    QGroupBox *copyrightGroup = nullptr;
    QLabel *kindLabel = nullptr;
    QLabel *formatLabel = nullptr;

    // One picture's format choice: "Фон" or "Курсор".
    struct FormatGroup
    {
        QGroupBox *group = nullptr;
        QRadioButton *mbm = nullptr;
        QRadioButton *png = nullptr;
        QRadioButton *jpg = nullptr;
        QLabel *qualityLabel = nullptr;
        QSpinBox *quality = nullptr;

        // The user's own choice, which the settings file keeps and a picture not opened from
        // a skin is saved in; a picture still as a skin gave it shows its own format instead.
        PictureChoice preferred;

        PictureChoice choice() const;
        // Shows a format without making it the preferred one.
        void select(PictureFormat format);
        // Makes a choice the preferred one and shows it.
        void prefer(PictureChoice choice);
        void setEnabled(bool enabled);
        // "Качество jpg" applies to JPEG only.
        void updateQuality();
    };
    FormatGroup background;
    FormatGroup cursor;

    QWidget *MainPanel = nullptr;
    QWidget *FormatPanel = nullptr;
    QWidget *ButtonPanel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

signals:
    // A save of that kind wrote these files.
    void skinSaved(const QStringList &written, OutputKind kind);

private:
    QWidget *buildNames();
    QWidget *buildFolderTree();
    QWidget *buildFormatPanel();
    QWidget *buildButtonPanel();
    FormatGroup buildFormatGroup(const QString &caption);
    void connectFormatGroup(FormatGroup &group);
    void folderChosen();
    void textsChanged();
    // Each format group shows its picture's own format while the picture is still as a skin's
    // .mif gave it, else the preferred one.
    void picturesChanged();

    // Whether every file the save would replace may be replaced, asking for each.
    bool mayReplace(const SaveRequest &request);

    SkinDocument &m_document;
    SaveEnvironment m_env;
    ReplaceAsker m_askReplace;
};

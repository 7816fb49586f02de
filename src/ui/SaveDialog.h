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

    // The controls: the skin's and the MIF's names, the folder, the base name of the
    // simplified layout, the copyright.
    QLineEdit *skinNameEdit() const { return m_skinNameEdit; }
    QLineEdit *mifNameEdit() const { return m_mifNameEdit; }
    QLineEdit *folderEdit() const { return m_folderEdit; }
    QLineEdit *baseNameEdit() const { return m_baseNameEdit; }
    QPlainTextEdit *copyrightEdit() const { return m_copyrightEdit; }
    QTreeView *folderTree() const { return m_folderTree; }
    QFileSystemModel *folderModel() const { return m_folderModel; }
    // What to write, and the Symbian version.
    QComboBox *outputKindCombo() const { return m_outputKindCombo; }
    QComboBox *systemVersionCombo() const { return m_systemVersionCombo; }
    // "Отмена" and "Сохранить".
    QPushButton *cancelButton() const { return m_cancelButton; }
    QPushButton *saveButton() const { return m_saveButton; }

    QGroupBox *mifNameGroup() const { return m_mifNameGroup; }
    QGroupBox *skinNameGroup() const { return m_skinNameGroup; }
    QGroupBox *baseNameGroup() const { return m_baseNameGroup; }
    QGroupBox *copyrightGroup() const { return m_copyrightGroup; }
    QLabel *kindLabel() const { return m_kindLabel; }
    QLabel *formatLabel() const { return m_formatLabel; }

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
    // The background's and the cursor's format choices.
    FormatGroup &backgroundFormat() { return m_background; }
    FormatGroup &cursorFormat() { return m_cursor; }

    QWidget *mainPanel() const { return m_mainPanel; }
    QWidget *formatPanel() const { return m_formatPanel; }
    QWidget *buttonPanel() const { return m_buttonPanel; }

protected:
    void showEvent(QShowEvent *event) override;

signals:
    // A save of that kind wrote these files.
    void skinSaved(const QStringList &written, OutputKind kind);

private:
    FormatGroup m_background;
    FormatGroup m_cursor;
    QLineEdit *m_skinNameEdit = nullptr;
    QLineEdit *m_mifNameEdit = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QLineEdit *m_baseNameEdit = nullptr;
    QPlainTextEdit *m_copyrightEdit = nullptr;
    QTreeView *m_folderTree = nullptr;
    QFileSystemModel *m_folderModel = nullptr;
    QComboBox *m_outputKindCombo = nullptr;
    QComboBox *m_systemVersionCombo = nullptr;
    QPushButton *m_cancelButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QGroupBox *m_mifNameGroup = nullptr;
    QGroupBox *m_skinNameGroup = nullptr;
    QGroupBox *m_baseNameGroup = nullptr;
    QGroupBox *m_copyrightGroup = nullptr;
    QLabel *m_kindLabel = nullptr;
    QLabel *m_formatLabel = nullptr;
    QWidget *m_mainPanel = nullptr;
    QWidget *m_formatPanel = nullptr;
    QWidget *m_buttonPanel = nullptr;
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

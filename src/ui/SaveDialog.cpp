#include "ui/SaveDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTreeView>
#include <QVBoxLayout>

namespace {

constexpr int kWidth = 600;

// Heights of the window and its two lower panels in each layout: the simplified one drops the
// format choices and the output list, so its panels shrink to one row.
struct PanelHeights
{
    int format;
    int buttons;
    int main;
};
constexpr PanelHeights kExpertHeights{95, 95, 396};
constexpr PanelHeights kSimplifiedHeights{36, 36, 340};

// The folder the tree starts at: the desktop, where users keep what they mean to copy to the
// phone, or home on systems without one.
QString treeRoot()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}

QGroupBox *nameGroup(const QString &caption, QLineEdit *&edit, const QString &text,
                     const QString &hint, QWidget *parent)
{
    auto *group = new QGroupBox(caption, parent);
    auto *row = new QHBoxLayout(group);
    row->setContentsMargins(6, 2, 6, 4);
    edit = new QLineEdit(text, group);
    row->addWidget(edit, 1);
    if (!hint.isEmpty())
        row->addWidget(new QLabel(hint, group));
    return group;
}

} // namespace

PictureChoice SaveDialog::FormatGroup::choice() const
{
    PictureChoice result;
    result.format = mbm->isChecked()   ? PictureFormat::Mbm
                    : png->isChecked() ? PictureFormat::Png
                                       : PictureFormat::Jpg;
    result.quality = quality->value();
    return result;
}

void SaveDialog::FormatGroup::select(PictureFormat format)
{
    switch (format) {
    case PictureFormat::Mbm:
        mbm->setChecked(true);
        break;
    case PictureFormat::Png:
        png->setChecked(true);
        break;
    case PictureFormat::Jpg:
        jpg->setChecked(true);
        break;
    }
}

void SaveDialog::FormatGroup::prefer(PictureChoice choice)
{
    select(choice.format);
    quality->setValue(choice.quality);
    preferred = {choice.format, quality->value()};
}

void SaveDialog::FormatGroup::setEnabled(bool enabled)
{
    for (QWidget *control : std::initializer_list<QWidget *>{group, mbm, png, jpg})
        control->setEnabled(enabled);
    updateQuality();
}

void SaveDialog::FormatGroup::updateQuality()
{
    const bool jpeg = group->isEnabled() && jpg->isChecked();
    qualityLabel->setEnabled(jpeg);
    quality->setEnabled(jpeg);
}

SaveDialog::SaveDialog(SkinDocument &document, SaveEnvironment env, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint)
    , m_document(document)
    , m_env(std::move(env))
{
    setWindowTitle(QStringLiteral("Сохранение"));
    m_askReplace = [this](const QString &text) {
        return QMessageBox::question(this, QStringLiteral("Velmora for TolvoICQ"), text) ==
               QMessageBox::Yes;
    };
    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    m_mainPanel = new QWidget(this);
    outer->addWidget(m_mainPanel);

    auto *main = new QVBoxLayout(m_mainPanel);
    main->setContentsMargins(6, 6, 6, 6);
    main->setSpacing(4);
    auto *top = new QHBoxLayout;
    top->addWidget(buildNames(), 1);
    top->addWidget(buildFolderTree(), 1);
    main->addLayout(top, 1);
    m_formatPanel = buildFormatPanel();
    main->addWidget(m_formatPanel);
    m_buttonPanel = buildButtonPanel();
    main->addWidget(m_buttonPanel);

    connect(&m_document, &SkinDocument::textsChanged, this, &SaveDialog::textsChanged);
    connect(&m_document, &SkinDocument::picturesChanged, this, &SaveDialog::picturesChanged);
    setExpertLayout(true);
    outputKindChosen();
}

QWidget *SaveDialog::buildNames()
{
    auto *column = new QWidget(m_mainPanel);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_mifNameGroup =
        nameGroup(QStringLiteral("Имя файла c фоном и курсором:"), m_mifNameEdit,
                  QStringLiteral("default.mif"), QStringLiteral("Например: default.mif"), column);
    m_skinNameGroup =
        nameGroup(QStringLiteral("Имя файла скина"), m_skinNameEdit, QStringLiteral("default.skin"),
                  QStringLiteral("Например: default.skin"), column);
    m_baseNameGroup = nameGroup(QStringLiteral("Имя файла"), m_baseNameEdit,
                                QStringLiteral("default"), QString(), column);
    m_copyrightGroup = new QGroupBox(QStringLiteral("Copyrights"), column);
    auto *memoLayout = new QVBoxLayout(m_copyrightGroup);
    memoLayout->setContentsMargins(6, 2, 6, 4);
    m_copyrightEdit = new QPlainTextEdit(m_copyrightGroup);
    memoLayout->addWidget(m_copyrightEdit);
    layout->addWidget(m_mifNameGroup);
    layout->addWidget(m_skinNameGroup);
    layout->addWidget(m_baseNameGroup);
    layout->addWidget(m_copyrightGroup, 1);
    return column;
}

QWidget *SaveDialog::buildFolderTree()
{
    auto *column = new QWidget(m_mainPanel);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_folderModel = new QFileSystemModel(this);
    m_folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    const QString root = treeRoot();
    m_folderModel->setRootPath(root);
    m_folderTree = new QTreeView(column);
    m_folderTree->setModel(m_folderModel);
    m_folderTree->setRootIndex(m_folderModel->index(root));
    m_folderTree->setHeaderHidden(true);
    // Only the names: size, type and date say nothing about a folder to save into.
    for (int column = 1; column < m_folderModel->columnCount(); ++column)
        m_folderTree->hideColumn(column);
    m_folderEdit = new QLineEdit(column);
    layout->addWidget(m_folderTree, 1);
    layout->addWidget(m_folderEdit);
    // Every click counts, on the folder already selected too: the field may have been typed
    // over since, and the click says which folder is meant.
    connect(m_folderTree->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SaveDialog::folderChosen);
    connect(m_folderTree, &QTreeView::clicked, this, &SaveDialog::folderChosen);
    return column;
}

SaveDialog::FormatGroup SaveDialog::buildFormatGroup(const QString &caption)
{
    FormatGroup result;
    result.group = new QGroupBox(caption);
    auto *grid = new QGridLayout(result.group);
    grid->setContentsMargins(6, 0, 6, 2);
    grid->setVerticalSpacing(0);
    result.mbm = new QRadioButton(QStringLiteral("MBM"), result.group);
    result.png = new QRadioButton(QStringLiteral("PNG"), result.group);
    result.jpg = new QRadioButton(QStringLiteral("JPG"), result.group);
    result.jpg->setChecked(true);
    result.qualityLabel = new QLabel(QStringLiteral("Качество jpg:"), result.group);
    result.quality = new QSpinBox(result.group);
    result.quality->setRange(1, 100);
    result.quality->setValue(80);
    grid->addWidget(result.mbm, 0, 0);
    grid->addWidget(result.png, 0, 1);
    grid->addWidget(result.jpg, 0, 2);
    grid->addWidget(result.qualityLabel, 1, 0, 1, 2);
    grid->addWidget(result.quality, 1, 2);
    return result;
}

// The user's clicks and the quality they set make the preferred choice; the format a picture
// brought along only shows.
void SaveDialog::connectFormatGroup(FormatGroup &group)
{
    FormatGroup *g = &group;
    for (QRadioButton *button : {group.mbm, group.png, group.jpg}) {
        connect(button, &QRadioButton::toggled, this, [g] { g->updateQuality(); });
        connect(button, &QRadioButton::clicked, this,
                [g] { g->preferred.format = g->choice().format; });
    }
    connect(group.quality, &QSpinBox::valueChanged, this,
            [g](int value) { g->preferred.quality = value; });
    group.updateQuality();
}

void SaveDialog::picturesChanged()
{
    const SkinPictures &pictures = m_document.pictures();
    const SkinImageFiles &opened = m_document.imageFiles();
    const std::pair<FormatGroup *, std::optional<PictureFormat>> groups[] = {
        {&m_background, openedFormat(pictures.BackgroundPicture, opened.BackgroundFile)},
        {&m_cursor, openedFormat(pictures.CursorPicture, opened.CursorFile)}};
    for (const auto &[group, own] : groups)
        group->select(own.value_or(group->preferred.format));
}

QWidget *SaveDialog::buildFormatPanel()
{
    auto *panel = new QWidget(m_mainPanel);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_formatLabel = new QLabel(QStringLiteral("Формат сжатия графики:"), panel);
    layout->addWidget(m_formatLabel);
    auto *groups = new QHBoxLayout;
    m_background = buildFormatGroup(QStringLiteral("Фон"));
    m_cursor = buildFormatGroup(QStringLiteral("Курсор"));
    connectFormatGroup(m_background);
    connectFormatGroup(m_cursor);
    groups->addWidget(m_background.group);
    groups->addWidget(m_cursor.group);
    layout->addLayout(groups);

    m_systemVersionCombo = new QComboBox(panel);
    m_systemVersionCombo->addItems(
        {QStringLiteral("Symbian OS 9.1"), QStringLiteral("Symbian OS 9.2 и выше")});
    m_systemVersionCombo->setCurrentIndex(1);
    m_systemVersionCombo->setToolTip(
        QStringLiteral("Если на вашем телефоне скин с белыми полосками") + QStringLiteral("\r\n") +
        QStringLiteral("по краям, то выбирите Symbian OS 9.1"));
    m_systemVersionCombo->hide();
    layout->addWidget(m_systemVersionCombo);
    layout->addStretch();
    connect(m_systemVersionCombo, &QComboBox::currentIndexChanged, this,
            &SaveDialog::systemVersionChosen);
    return panel;
}

QWidget *SaveDialog::buildButtonPanel()
{
    auto *panel = new QWidget(m_mainPanel);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *kindRow = new QHBoxLayout;
    m_kindLabel = new QLabel(QStringLiteral("Сохранить"), panel);
    m_outputKindCombo = new QComboBox(panel);
    m_outputKindCombo->addItems({QStringLiteral("скин (*.sis)"),
                                 QStringLiteral("скин (*.skin+*.mif)"),
                                 QStringLiteral("только *.skin"), QStringLiteral("только *.mif")});
    kindRow->addWidget(m_kindLabel);
    kindRow->addWidget(m_outputKindCombo, 1);
    layout->addLayout(kindRow);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    m_cancelButton = new QPushButton(QStringLiteral("Отмена"), panel);
    m_saveButton = new QPushButton(QStringLiteral("Сохранить"), panel);
    buttons->addStretch();
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_saveButton);
    layout->addLayout(buttons);
    connect(m_outputKindCombo, &QComboBox::currentIndexChanged, this,
            &SaveDialog::outputKindChosen);
    connect(m_cancelButton, &QPushButton::clicked, this, &QWidget::hide);
    connect(m_saveButton, &QPushButton::clicked, this, &SaveDialog::saveClicked);
    return panel;
}

void SaveDialog::setExpertLayout(bool expert)
{
    for (QWidget *control : std::initializer_list<QWidget *>{
             m_skinNameGroup, m_mifNameGroup, m_kindLabel, m_outputKindCombo, m_formatLabel,
             m_background.group, m_cursor.group})
        control->setVisible(expert);
    m_baseNameGroup->setVisible(!expert);
    m_systemVersionCombo->setVisible(!expert);
    const PanelHeights heights = expert ? kExpertHeights : kSimplifiedHeights;
    m_formatPanel->setFixedHeight(heights.format);
    m_buttonPanel->setFixedHeight(heights.buttons);
    m_mainPanel->setFixedHeight(heights.main);
    setFixedSize(kWidth, heights.main);
    if (!expert) {
        // The simplified layout offers only the package, in the formats the phone's system
        // version shows best.
        m_outputKindCombo->setCurrentIndex(0);
        outputKindChosen();
        systemVersionChosen();
    }
}

bool SaveDialog::expertLayout() const
{
    return m_baseNameGroup->isHidden();
}

void SaveDialog::outputKindChosen()
{
    const auto kind = static_cast<OutputKind>(m_outputKindCombo->currentIndex());
    const bool pictures = kind != OutputKind::SkinOnly;
    const bool skin = kind != OutputKind::MifOnly;
    m_skinNameGroup->setEnabled(skin);
    m_skinNameEdit->setEnabled(skin);
    m_copyrightEdit->setEnabled(skin);
    // Every kind either writes the .mif or names it in the .skin.
    m_mifNameGroup->setEnabled(true);
    m_mifNameEdit->setEnabled(true);
    if (kind == OutputKind::Package || kind == OutputKind::SkinAndMif) {
        m_baseNameGroup->setEnabled(true);
        m_baseNameEdit->setEnabled(true);
    }
    m_formatLabel->setEnabled(pictures);
    m_background.setEnabled(pictures);
    m_cursor.setEnabled(pictures);
}

void SaveDialog::systemVersionChosen()
{
    // The list is only the user's to change in the simplified layout. isHidden, not isVisible:
    // while the window itself is hidden every control reports itself invisible.
    if (m_systemVersionCombo->isHidden())
        return;
    // Symbian 9.1 draws JPEG pictures with white stripes along the edges; bitmaps work on both.
    const PictureFormat format =
        m_systemVersionCombo->currentIndex() == 0 ? PictureFormat::Mbm : PictureFormat::Jpg;
    m_background.prefer({format, m_background.preferred.quality});
    m_cursor.prefer({format, m_cursor.preferred.quality});
    m_outputKindCombo->setCurrentIndex(0);
    outputKindChosen();
}

void SaveDialog::showForKind(OutputKind kind)
{
    m_outputKindCombo->setCurrentIndex(static_cast<int>(kind));
    outputKindChosen();
    show();
    raise();
    activateWindow();
}

SaveRequest SaveDialog::request() const
{
    SaveRequest result;
    result.kind = static_cast<OutputKind>(m_outputKindCombo->currentIndex());
    result.skinName = m_skinNameEdit->text();
    result.mifName = m_mifNameEdit->text();
    result.copyright = m_copyrightEdit->toPlainText();
    result.background = m_background.choice();
    result.cursor = m_cursor.choice();
    result.folder = m_folderEdit->text();
    return result;
}

void SaveDialog::saveClicked()
{
    if (!m_baseNameGroup->isHidden()) {
        m_mifNameEdit->setText(m_baseNameEdit->text() + QStringLiteral(".mif"));
        m_skinNameEdit->setText(m_baseNameEdit->text() + QStringLiteral(".skin"));
    }
    SaveRequest wanted = request();
    if (!mayReplace(wanted))
        return;
    const auto saved = saveSkin(m_document, wanted, m_env);
    if (!saved) {
        if (m_env.messages)
            m_env.messages(QString(), saved.error().message);
        return;
    }
    // The save completes the names with their endings; the fields and the document keep the
    // names of the files actually written.
    m_skinNameEdit->setText(wanted.skinName);
    m_mifNameEdit->setText(wanted.mifName);
    SkinTexts texts = m_document.texts();
    texts.skinFileName = wanted.skinName;
    texts.baseName = wanted.skinName.left(qMax(qsizetype(0), wanted.skinName.size() - 5));
    texts.mifName = wanted.mifName;
    texts.copyright = wanted.copyright;
    m_document.setTexts(texts);
    // Announced while the window still shows, so that what follows the save (the end of the
    // program, after "Выход" asked for it) comes before anything the hiding sets off.
    emit skinSaved(saved->written, wanted.kind);
    hide();
}

bool SaveDialog::mayReplace(const SaveRequest &request)
{
    // A name the save refuses is the save's to report; nothing would be replaced.
    if (!IsValidSkinName(request.skinName) || !IsValidSkinName(request.mifName))
        return true;
    for (const QString &target : saveTargets(request)) {
        if (QFileInfo::exists(target) &&
            !m_askReplace(QStringLiteral("Файл %1 уже существует. Заменить?")
                              .arg(QDir::toNativeSeparators(target))))
            return false;
    }
    return true;
}

void SaveDialog::folderChosen()
{
    const QModelIndex current = m_folderTree->currentIndex();
    if (current.isValid())
        m_folderEdit->setText(m_folderModel->filePath(current));
}

QString SaveDialog::chosenFolder() const
{
    const QModelIndex current = m_folderTree->currentIndex();
    return current.isValid() ? m_folderModel->filePath(current) : QString();
}

void SaveDialog::chooseFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (path.isEmpty() || !folder.isDir())
        return;
    const QString absolute = folder.absoluteFilePath();
    const QModelIndex index = m_folderModel->index(absolute);
    if (index.isValid() && absolute.startsWith(m_folderModel->rootPath())) {
        m_folderTree->setCurrentIndex(index);
        m_folderTree->scrollTo(index);
    }
    m_folderEdit->setText(absolute);
}

void SaveDialog::textsChanged()
{
    // An opened skin proposes its own names, which the save then accepts.
    m_skinNameEdit->setText(m_document.texts().skinFileName);
    m_baseNameEdit->setText(m_document.texts().baseName);
    m_mifNameEdit->setText(m_document.texts().mifName);
    // The skin file keeps CR LF line ends; the text box wants plain line feeds.
    QString copyright = m_document.texts().copyright;
    m_copyrightEdit->setPlainText(copyright.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void SaveDialog::showEvent(QShowEvent *event)
{
    if (const QScreen *display = screen() ? screen() : QGuiApplication::primaryScreen()) {
        QRect frame = frameGeometry();
        frame.moveCenter(display->availableGeometry().center());
        move(frame.topLeft());
    }
    QWidget::showEvent(event);
}

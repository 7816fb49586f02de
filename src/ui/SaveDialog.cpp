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
    MainPanel = new QWidget(this);
    outer->addWidget(MainPanel);

    auto *main = new QVBoxLayout(MainPanel);
    main->setContentsMargins(6, 6, 6, 6);
    main->setSpacing(4);
    auto *top = new QHBoxLayout;
    top->addWidget(buildNames(), 1);
    top->addWidget(buildFolderTree(), 1);
    main->addLayout(top, 1);
    FormatPanel = buildFormatPanel();
    main->addWidget(FormatPanel);
    ButtonPanel = buildButtonPanel();
    main->addWidget(ButtonPanel);

    connect(&m_document, &SkinDocument::textsChanged, this, &SaveDialog::textsChanged);
    connect(&m_document, &SkinDocument::picturesChanged, this, &SaveDialog::picturesChanged);
    setExpertLayout(true);
    ComboBox1Change();
}

QWidget *SaveDialog::buildNames()
{
    auto *column = new QWidget(MainPanel);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    MifNameGroup =
        nameGroup(QStringLiteral("Имя файла c фоном и курсором:"), Edit3,
                  QStringLiteral("default.mif"), QStringLiteral("Например: default.mif"), column);
    SkinNameGroup =
        nameGroup(QStringLiteral("Имя файла скина"), Edit2, QStringLiteral("default.skin"),
                  QStringLiteral("Например: default.skin"), column);
    BaseNameGroup =
        nameGroup(QStringLiteral("Имя файла"), Edit5, QStringLiteral("default"), QString(), column);
    CopyrightGroup = new QGroupBox(QStringLiteral("Copyrights"), column);
    auto *memoLayout = new QVBoxLayout(CopyrightGroup);
    memoLayout->setContentsMargins(6, 2, 6, 4);
    Memo1 = new QPlainTextEdit(CopyrightGroup);
    memoLayout->addWidget(Memo1);
    layout->addWidget(MifNameGroup);
    layout->addWidget(SkinNameGroup);
    layout->addWidget(BaseNameGroup);
    layout->addWidget(CopyrightGroup, 1);
    return column;
}

QWidget *SaveDialog::buildFolderTree()
{
    auto *column = new QWidget(MainPanel);
    auto *layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    folderModel = new QFileSystemModel(this);
    folderModel->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Hidden);
    const QString root = treeRoot();
    folderModel->setRootPath(root);
    ShellTreeView1 = new QTreeView(column);
    ShellTreeView1->setModel(folderModel);
    ShellTreeView1->setRootIndex(folderModel->index(root));
    ShellTreeView1->setHeaderHidden(true);
    // Only the names: size, type and date say nothing about a folder to save into.
    for (int column = 1; column < folderModel->columnCount(); ++column)
        ShellTreeView1->hideColumn(column);
    Edit4 = new QLineEdit(column);
    layout->addWidget(ShellTreeView1, 1);
    layout->addWidget(Edit4);
    // Every click counts, on the folder already selected too: the field may have been typed
    // over since, and the click says which folder is meant.
    connect(ShellTreeView1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &SaveDialog::folderChosen);
    connect(ShellTreeView1, &QTreeView::clicked, this, &SaveDialog::folderChosen);
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
        {&background, openedFormat(pictures.BackgroundPicture, opened.BackgroundFile)},
        {&cursor, openedFormat(pictures.CursorPicture, opened.CursorFile)}};
    for (const auto &[group, own] : groups)
        group->select(own.value_or(group->preferred.format));
}

QWidget *SaveDialog::buildFormatPanel()
{
    auto *panel = new QWidget(MainPanel);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FormatLabel = new QLabel(QStringLiteral("Формат сжатия графики:"), panel);
    layout->addWidget(FormatLabel);
    auto *groups = new QHBoxLayout;
    background = buildFormatGroup(QStringLiteral("Фон"));
    cursor = buildFormatGroup(QStringLiteral("Курсор"));
    connectFormatGroup(background);
    connectFormatGroup(cursor);
    groups->addWidget(background.group);
    groups->addWidget(cursor.group);
    layout->addLayout(groups);

    ComboBox2 = new QComboBox(panel);
    ComboBox2->addItems(
        {QStringLiteral("Symbian OS 9.1"), QStringLiteral("Symbian OS 9.2 и выше")});
    ComboBox2->setCurrentIndex(1);
    ComboBox2->setToolTip(QStringLiteral("Если на вашем телефоне скин с белыми полосками") +
                          QStringLiteral("\r\n") +
                          QStringLiteral("по краям, то выбирите Symbian OS 9.1"));
    ComboBox2->hide();
    layout->addWidget(ComboBox2);
    layout->addStretch();
    connect(ComboBox2, &QComboBox::currentIndexChanged, this, &SaveDialog::ComboBox2Change);
    return panel;
}

QWidget *SaveDialog::buildButtonPanel()
{
    auto *panel = new QWidget(MainPanel);
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *kindRow = new QHBoxLayout;
    KindLabel = new QLabel(QStringLiteral("Сохранить"), panel);
    ComboBox1 = new QComboBox(panel);
    ComboBox1->addItems({QStringLiteral("скин (*.sis)"), QStringLiteral("скин (*.skin+*.mif)"),
                         QStringLiteral("только *.skin"), QStringLiteral("только *.mif")});
    kindRow->addWidget(KindLabel);
    kindRow->addWidget(ComboBox1, 1);
    layout->addLayout(kindRow);
    layout->addStretch();
    auto *buttons = new QHBoxLayout;
    Button1 = new QPushButton(QStringLiteral("Отмена"), panel);
    Button2 = new QPushButton(QStringLiteral("Сохранить"), panel);
    buttons->addStretch();
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);
    layout->addLayout(buttons);
    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &SaveDialog::ComboBox1Change);
    connect(Button1, &QPushButton::clicked, this, &QWidget::hide);
    connect(Button2, &QPushButton::clicked, this, &SaveDialog::Button2Click);
    return panel;
}

void SaveDialog::setExpertLayout(bool expert)
{
    for (QWidget *control :
         std::initializer_list<QWidget *>{SkinNameGroup, MifNameGroup, KindLabel, ComboBox1,
                                          FormatLabel, background.group, cursor.group})
        control->setVisible(expert);
    BaseNameGroup->setVisible(!expert);
    ComboBox2->setVisible(!expert);
    const PanelHeights heights = expert ? kExpertHeights : kSimplifiedHeights;
    FormatPanel->setFixedHeight(heights.format);
    ButtonPanel->setFixedHeight(heights.buttons);
    MainPanel->setFixedHeight(heights.main);
    setFixedSize(kWidth, heights.main);
    if (!expert) {
        // The simplified layout offers only the package, in the formats the phone's system
        // version shows best.
        ComboBox1->setCurrentIndex(0);
        ComboBox1Change();
        ComboBox2Change();
    }
}

bool SaveDialog::expertLayout() const
{
    return BaseNameGroup->isHidden();
}

void SaveDialog::ComboBox1Change()
{
    const auto kind = static_cast<OutputKind>(ComboBox1->currentIndex());
    const bool pictures = kind != OutputKind::SkinOnly;
    const bool skin = kind != OutputKind::MifOnly;
    SkinNameGroup->setEnabled(skin);
    Edit2->setEnabled(skin);
    Memo1->setEnabled(skin);
    // Every kind either writes the .mif or names it in the .skin.
    MifNameGroup->setEnabled(true);
    Edit3->setEnabled(true);
    if (kind == OutputKind::Package || kind == OutputKind::SkinAndMif) {
        BaseNameGroup->setEnabled(true);
        Edit5->setEnabled(true);
    }
    FormatLabel->setEnabled(pictures);
    background.setEnabled(pictures);
    cursor.setEnabled(pictures);
}

void SaveDialog::ComboBox2Change()
{
    // The list is only the user's to change in the simplified layout. isHidden, not isVisible:
    // while the window itself is hidden every control reports itself invisible.
    if (ComboBox2->isHidden())
        return;
    // Symbian 9.1 draws JPEG pictures with white stripes along the edges; bitmaps work on both.
    const PictureFormat format =
        ComboBox2->currentIndex() == 0 ? PictureFormat::Mbm : PictureFormat::Jpg;
    background.prefer({format, background.preferred.quality});
    cursor.prefer({format, cursor.preferred.quality});
    ComboBox1->setCurrentIndex(0);
    ComboBox1Change();
}

void SaveDialog::showForKind(OutputKind kind)
{
    ComboBox1->setCurrentIndex(static_cast<int>(kind));
    ComboBox1Change();
    show();
    raise();
    activateWindow();
}

SaveRequest SaveDialog::request() const
{
    SaveRequest result;
    result.kind = static_cast<OutputKind>(ComboBox1->currentIndex());
    result.skinName = Edit2->text();
    result.mifName = Edit3->text();
    result.copyright = Memo1->toPlainText();
    result.background = background.choice();
    result.cursor = cursor.choice();
    result.folder = Edit4->text();
    return result;
}

void SaveDialog::Button2Click()
{
    if (!BaseNameGroup->isHidden()) {
        Edit3->setText(Edit5->text() + QStringLiteral(".mif"));
        Edit2->setText(Edit5->text() + QStringLiteral(".skin"));
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
    Edit2->setText(wanted.skinName);
    Edit3->setText(wanted.mifName);
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
    const QModelIndex current = ShellTreeView1->currentIndex();
    if (current.isValid())
        Edit4->setText(folderModel->filePath(current));
}

QString SaveDialog::chosenFolder() const
{
    const QModelIndex current = ShellTreeView1->currentIndex();
    return current.isValid() ? folderModel->filePath(current) : QString();
}

void SaveDialog::chooseFolder(const QString &path)
{
    const QFileInfo folder(path);
    if (path.isEmpty() || !folder.isDir())
        return;
    const QString absolute = folder.absoluteFilePath();
    const QModelIndex index = folderModel->index(absolute);
    if (index.isValid() && absolute.startsWith(folderModel->rootPath())) {
        ShellTreeView1->setCurrentIndex(index);
        ShellTreeView1->scrollTo(index);
    }
    Edit4->setText(absolute);
}

void SaveDialog::textsChanged()
{
    // An opened skin proposes its own names, which the save then accepts.
    Edit2->setText(m_document.texts().skinFileName);
    Edit5->setText(m_document.texts().baseName);
    Edit3->setText(m_document.texts().mifName);
    // The skin file keeps CR LF line ends; the text box wants plain line feeds.
    QString copyright = m_document.texts().copyright;
    Memo1->setPlainText(copyright.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
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

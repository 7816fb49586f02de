// The main window's tab "Внешний вид": the preview options, the fonts and the screen size,
// from a phone model or typed.
#include "ui/MainWindow.h"

#include "preview/PhoneFrame.h"
#include "preview/PhonePreview.h"
#include "ui/ArrowSpinBox.h"
#include "ui/PreviewWindow.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyledItemDelegate>
#include <QTextStream>
#include <QVBoxLayout>

namespace {

// The model list is long; fixed low rows keep more of it in view.
constexpr int kModelRowHeight = 16;

class FixedRowDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        return {QStyledItemDelegate::sizeHint(option, index).width(), kModelRowHeight};
    }
};

QSpinBox *sizeField(int value, QWidget *parent)
{
    auto *field = new QSpinBox(parent);
    field->setRange(kMinScreenSide, kMaxScreenSide);
    field->setSingleStep(2);
    field->setValue(value);
    // "1 500" would not read back as a number in the settings file.
    field->setGroupSeparatorShown(false);
    return field;
}

} // namespace

QWidget *MainWindow::buildAppearanceTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(buildOptionsGroup());
    auto *row = new QHBoxLayout;
    row->addWidget(buildFontsGroup());
    auto *group = new QGroupBox(QStringLiteral("Разрешение экрана"), page);
    auto *groupLayout = new QVBoxLayout(group);

    m_modelCombo = new QComboBox(group);
    m_modelCombo->setItemDelegate(new FixedRowDelegate(m_modelCombo));
    groupLayout->addWidget(m_modelCombo);
    m_phoneFrameCheck = new QCheckBox(QStringLiteral("Телефон"), group);
    groupLayout->addWidget(m_phoneFrameCheck);

    auto *sizeRow = new QHBoxLayout;
    m_screenWidthSpin = sizeField(240, group);
    m_screenHeightSpin = sizeField(320, group);
    auto *widthLabel = new QLabel(QStringLiteral("Шир."), group);
    widthLabel->setBuddy(m_screenWidthSpin);
    auto *heightLabel = new QLabel(QStringLiteral("Выс."), group);
    heightLabel->setBuddy(m_screenHeightSpin);
    sizeRow->addWidget(widthLabel);
    sizeRow->addWidget(m_screenWidthSpin);
    sizeRow->addWidget(heightLabel);
    sizeRow->addWidget(m_screenHeightSpin);
    sizeRow->addStretch();
    groupLayout->addLayout(sizeRow);
    // The fields keep the typed size for "Своё..."; the model's own size is said here.
    m_modelSizeLabel = new QLabel(group);
    groupLayout->addWidget(m_modelSizeLabel);
    row->addWidget(group, 1);
    layout->addLayout(row);

    // The options only make the work easier; the authors must not think they go into the skin.
    auto *note = new QGroupBox(QStringLiteral("Внимание!"), page);
    note->setStyleSheet(QStringLiteral("QGroupBox { color: red; font-weight: bold; }"));
    auto *noteLayout = new QVBoxLayout(note);
    auto *noteText = new QLabel(
        QStringLiteral("Все настройки, располагающиеся в данной вкладке, предназначены только для "
                       "создания удобного для работы интерфейса. На конечный результат они никак "
                       "не влияют."),
        note);
    noteText->setWordWrap(true);
    noteLayout->addWidget(noteText);
    layout->addWidget(note);
    layout->addStretch();

    connect(m_modelCombo, &QComboBox::currentIndexChanged, this, &MainWindow::modelChosen);
    connect(m_phoneFrameCheck, &QCheckBox::toggled, this, &MainWindow::phoneFrameToggled);
    connect(m_screenWidthSpin, &QSpinBox::valueChanged, this, &MainWindow::screenSizeEdited);
    connect(m_screenHeightSpin, &QSpinBox::valueChanged, this, &MainWindow::screenSizeEdited);
    return page;
}

QWidget *MainWindow::buildOptionsGroup()
{
    auto *panel = new QWidget;
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    int line = 0;
    for (const PreviewToggle &toggle : kPreviewToggles) {
        if (!toggle.control)
            continue;
        auto *box = new QCheckBox(QString::fromUtf8(toggle.control), panel);
        // A side waits for its windows, which start hidden.
        box->setEnabled(!toggle.needs);
        m_toggleChecks[std::size_t(toggle.id)] = box;
        grid->addWidget(box, line++, 0);
        connect(box, &QCheckBox::toggled, this, [this, id = toggle.id] { toggleChanged(id); });
    }

    auto *sorting = new QGroupBox(QStringLiteral("Сортировка"), panel);
    auto *sortingLayout = new QVBoxLayout(sorting);
    m_sortButtons = new QButtonGroup(this);
    const QStringList orders = {QStringLiteral("по статусу"), QStringLiteral("по имени")};
    for (int index = 0; index < int(orders.size()); ++index) {
        auto *item = new QRadioButton(orders[index], sorting);
        m_sortButtons->addButton(item, index);
        sortingLayout->addWidget(item);
    }
    m_sortButtons->button(0)->setChecked(true);
    grid->addWidget(sorting, 0, 1, 3, 1, Qt::AlignTop);

    auto *columns = new QHBoxLayout;
    m_columnCountSpin = new ArrowSpinBox(panel);
    m_columnCountSpin->setRange(1, 5);
    m_columnCountSpin->setValue(m_columnCount);
    auto *columnsLabel = new QLabel(QStringLiteral("Число колонок"), panel);
    columnsLabel->setBuddy(m_columnCountSpin);
    columns->addWidget(columnsLabel);
    columns->addWidget(m_columnCountSpin);
    columns->addStretch();
    grid->addLayout(columns, 3, 1);
    grid->setColumnStretch(1, 1);

    connect(m_sortButtons, &QButtonGroup::idToggled, this, [this](int index, bool on) {
        if (on)
            sortChosen(index);
    });
    connect(m_columnCountSpin, &ArrowSpinBox::arrowClicked, this, &MainWindow::columnArrowClicked);
    return panel;
}

QWidget *MainWindow::buildFontsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Шрифты"));
    auto *layout = new QVBoxLayout(group);
    m_contactListFontButton = new QPushButton(QStringLiteral("Контакт-лист"), group);
    m_chatFontButton = new QPushButton(QStringLiteral("Окно сообщений"), group);
    m_settingsFontButton = new QPushButton(QStringLiteral("Настройки"), group);
    for (QPushButton *button : {m_contactListFontButton, m_chatFontButton, m_settingsFontButton})
        layout->addWidget(button);
    layout->addStretch();
    connect(m_contactListFontButton, &QPushButton::clicked, this,
            &MainWindow::chooseContactListFont);
    connect(m_chatFontButton, &QPushButton::clicked, this, &MainWindow::chooseChatFont);
    connect(m_settingsFontButton, &QPushButton::clicked, this, &MainWindow::chooseSettingsFont);
    return group;
}

// Reads mobiles/base.txt into the model list. A missing or broken file only costs the models:
// the typed size still works, so the user hears of it on stderr and in the console, not in a
// message box that would hold up every start.
void MainWindow::loadModelList()
{
    QStringList notes;
    if (auto models = loadPhoneModels(m_programFolder)) {
        m_phoneModels = std::move(*models);
        notes = m_phoneModels.problems;
    } else {
        m_phoneModels = {};
        notes.append(tr("Phone models not loaded: %1").arg(models.error().message));
    }
    QTextStream err(stderr);
    for (const QString &note : std::as_const(notes)) {
        err << note << Qt::endl;
        logToConsole(note);
    }
    const QSignalBlocker blocker(m_modelCombo);
    m_modelCombo->clear();
    m_modelCombo->addItems(m_phoneModels.entries);
    m_modelCombo->addItem(kCustomSizeEntry);
    m_modelCombo->setCurrentIndex(0);
}

void MainWindow::modelChosen()
{
    const int count = m_modelCombo->count();
    const int index = m_modelCombo->currentIndex();
    if (count == 0 || index < 0)
        return;
    const bool custom = index == count - 1;
    m_screenWidthSpin->setEnabled(custom);
    m_screenHeightSpin->setEnabled(custom);
    if (custom || index >= m_phoneModels.records.size()) {
        m_modelSizeLabel->clear();
    } else {
        const PhoneModel &model = m_phoneModels.records[index];
        m_modelSizeLabel->setText(
            QStringLiteral("Экран модели: %1 × %2").arg(model.width).arg(model.height));
    }
    if (custom) {
        // A typed size belongs to no phone, so there is no picture to frame it.
        const QSignalBlocker blocker(m_phoneFrameCheck);
        m_phoneFrameCheck->setChecked(false);
    }
    m_phoneFrameCheck->setEnabled(!custom && !m_oldInterface);
    if (!m_preview)
        return;
    if (custom) {
        m_previewWindow->setFrame(std::nullopt);
        m_preview->setScreenSize(QSize(m_screenWidthSpin->value(), m_screenHeightSpin->value()));
    } else {
        showModel(index, m_phoneFrameCheck->isChecked());
    }
}

void MainWindow::showModel(int index, bool framed)
{
    const PhoneModel &model = m_phoneModels.records[index];
    std::optional<PhoneFrame> frame;
    if (framed) {
        if (const auto picture = loadPhonePicture(m_programFolder, model)) {
            frame = phoneFrame(*picture, model);
        } else if (!m_pictureWarned.contains(index)) {
            // Every later choice of this model would repeat the same complaint.
            m_pictureWarned.insert(index);
            m_messageSink(
                QString(),
                QStringLiteral("Не удалось загрузить рисунок телефона \"%1\"").arg(model.name),
                picture.error().message);
        }
    }
    m_previewWindow->setFrame(frame);
    m_preview->setScreenSize(QSize(model.width, model.height));
}

void MainWindow::phoneFrameToggled()
{
    modelChosen();
}

void MainWindow::screenSizeEdited()
{
    const int count = m_modelCombo->count();
    if (count == 0 || m_modelCombo->currentIndex() != count - 1 || !m_preview)
        return;
    m_preview->setScreenSize(QSize(m_screenWidthSpin->value(), m_screenHeightSpin->value()));
}

void MainWindow::selectModel(const QString &name)
{
    if (m_modelCombo->count() == 0)
        return;
    int index = findModel(m_phoneModels, name);
    // A model cut off by the end of the file has a record but no entry.
    if (index < 0 || index >= int(m_phoneModels.entries.size()))
        index = m_modelCombo->count() - 1;
    {
        const QSignalBlocker blocker(m_modelCombo);
        m_modelCombo->setCurrentIndex(index);
    }
    modelChosen();
}

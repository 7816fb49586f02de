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

    ComboBox1 = new QComboBox(group);
    ComboBox1->setItemDelegate(new FixedRowDelegate(ComboBox1));
    groupLayout->addWidget(ComboBox1);
    CheckBox5 = new QCheckBox(QStringLiteral("Телефон"), group);
    groupLayout->addWidget(CheckBox5);

    auto *sizeRow = new QHBoxLayout;
    Edit6 = sizeField(240, group);
    Edit8 = sizeField(320, group);
    auto *widthLabel = new QLabel(QStringLiteral("Шир."), group);
    widthLabel->setBuddy(Edit6);
    auto *heightLabel = new QLabel(QStringLiteral("Выс."), group);
    heightLabel->setBuddy(Edit8);
    sizeRow->addWidget(widthLabel);
    sizeRow->addWidget(Edit6);
    sizeRow->addWidget(heightLabel);
    sizeRow->addWidget(Edit8);
    sizeRow->addStretch();
    groupLayout->addLayout(sizeRow);
    // The fields keep the typed size for "Своё..."; the model's own size is said here.
    ModelSizeLabel = new QLabel(group);
    groupLayout->addWidget(ModelSizeLabel);
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

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &MainWindow::ComboBox1Change);
    connect(CheckBox5, &QCheckBox::toggled, this, &MainWindow::CheckBox5Click);
    connect(Edit6, &QSpinBox::valueChanged, this, &MainWindow::Edit6Change);
    connect(Edit8, &QSpinBox::valueChanged, this, &MainWindow::Edit6Change);
    return page;
}

QWidget *MainWindow::buildOptionsGroup()
{
    auto *panel = new QWidget;
    auto *grid = new QGridLayout(panel);
    grid->setContentsMargins(0, 0, 0, 0);
    const auto box = [panel](const QString &caption) {
        return new QCheckBox(caption, panel);
    };
    CheckBox2 = box(QStringLiteral("Показать всплывающее окно"));
    CheckBox3 = box(QStringLiteral("Показать оффлайн"));
    CheckBox12 = box(QStringLiteral("Показывать меню"));
    CheckBox4 = box(QStringLiteral("Показать группы"));
    CheckBox6 = box(QStringLiteral("Показать иконки клиентов"));
    CheckBox7 = box(QStringLiteral("Маленькие часы"));
    CheckBox9 = box(QStringLiteral("Показать уведомляющие окна"));
    CheckBox10 = box(QStringLiteral("Показать уведомляющие окна слева"));
    CheckBox10->setEnabled(false);
    int line = 0;
    for (QCheckBox *item :
         {CheckBox2, CheckBox3, CheckBox12, CheckBox4, CheckBox6, CheckBox7, CheckBox9, CheckBox10})
        grid->addWidget(item, line++, 0);

    auto *sorting = new QGroupBox(QStringLiteral("Сортировка"), panel);
    auto *sortingLayout = new QVBoxLayout(sorting);
    RadioGroup1 = new QButtonGroup(this);
    const QStringList orders = {QStringLiteral("по статусу"), QStringLiteral("по имени")};
    for (int index = 0; index < int(orders.size()); ++index) {
        auto *item = new QRadioButton(orders[index], sorting);
        RadioGroup1->addButton(item, index);
        sortingLayout->addWidget(item);
    }
    RadioGroup1->button(0)->setChecked(true);
    grid->addWidget(sorting, 0, 1, 3, 1, Qt::AlignTop);

    auto *columns = new QHBoxLayout;
    Edit9 = new ArrowSpinBox(panel);
    Edit9->setRange(1, 5);
    Edit9->setValue(m_columnCount);
    auto *columnsLabel = new QLabel(QStringLiteral("Число колонок"), panel);
    columnsLabel->setBuddy(Edit9);
    columns->addWidget(columnsLabel);
    columns->addWidget(Edit9);
    columns->addStretch();
    grid->addLayout(columns, 3, 1);
    grid->setColumnStretch(1, 1);

    const std::pair<QCheckBox *, void (MainWindow::*)()> handlers[] = {
        {CheckBox2, &MainWindow::CheckBox2Click},   {CheckBox3, &MainWindow::CheckBox3Click},
        {CheckBox12, &MainWindow::CheckBox12Click}, {CheckBox4, &MainWindow::CheckBox4Click},
        {CheckBox6, &MainWindow::CheckBox6Click},   {CheckBox7, &MainWindow::CheckBox7Click},
        {CheckBox9, &MainWindow::CheckBox9Click},   {CheckBox10, &MainWindow::CheckBox10Click}};
    for (const auto &[item, handler] : handlers)
        connect(item, &QCheckBox::toggled, this, handler);
    connect(RadioGroup1, &QButtonGroup::idToggled, this, [this](int index, bool on) {
        if (on)
            RadioGroup1Click(index);
    });
    connect(Edit9, &ArrowSpinBox::arrowClicked, this, &MainWindow::UpDown5Click);
    return panel;
}

QWidget *MainWindow::buildFontsGroup()
{
    auto *group = new QGroupBox(QStringLiteral("Шрифты"));
    auto *layout = new QVBoxLayout(group);
    Button1 = new QPushButton(QStringLiteral("Контакт-лист"), group);
    Button3 = new QPushButton(QStringLiteral("Окно сообщений"), group);
    Button5 = new QPushButton(QStringLiteral("Настройки"), group);
    for (QPushButton *button : {Button1, Button3, Button5})
        layout->addWidget(button);
    layout->addStretch();
    connect(Button1, &QPushButton::clicked, this, &MainWindow::Button1Click);
    connect(Button3, &QPushButton::clicked, this, &MainWindow::Button3Click);
    connect(Button5, &QPushButton::clicked, this, &MainWindow::Button5Click);
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
        LogToConsole(note);
    }
    const QSignalBlocker blocker(ComboBox1);
    ComboBox1->clear();
    ComboBox1->addItems(m_phoneModels.entries);
    ComboBox1->addItem(kCustomSizeEntry);
    ComboBox1->setCurrentIndex(0);
}

void MainWindow::ComboBox1Change()
{
    const int count = ComboBox1->count();
    const int index = ComboBox1->currentIndex();
    if (count == 0 || index < 0)
        return;
    const bool custom = index == count - 1;
    Edit6->setEnabled(custom);
    Edit8->setEnabled(custom);
    if (custom || index >= m_phoneModels.records.size()) {
        ModelSizeLabel->clear();
    } else {
        const PhoneModel &model = m_phoneModels.records[index];
        ModelSizeLabel->setText(
            QStringLiteral("Экран модели: %1 × %2").arg(model.width).arg(model.height));
    }
    if (custom) {
        // A typed size belongs to no phone, so there is no picture to frame it.
        const QSignalBlocker blocker(CheckBox5);
        CheckBox5->setChecked(false);
    }
    CheckBox5->setEnabled(!custom && !m_oldInterface);
    if (!m_preview)
        return;
    if (custom) {
        m_previewWindow->setFrame(std::nullopt);
        m_preview->setScreenSize(QSize(Edit6->value(), Edit8->value()));
    } else {
        showModel(index, CheckBox5->isChecked());
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

void MainWindow::CheckBox5Click()
{
    ComboBox1Change();
}

void MainWindow::Edit6Change()
{
    const int count = ComboBox1->count();
    if (count == 0 || ComboBox1->currentIndex() != count - 1 || !m_preview)
        return;
    m_preview->setScreenSize(QSize(Edit6->value(), Edit8->value()));
}

void MainWindow::selectModel(const QString &name)
{
    if (ComboBox1->count() == 0)
        return;
    int index = findModel(m_phoneModels, name);
    // A model cut off by the end of the file has a record but no entry.
    if (index < 0 || index >= int(m_phoneModels.entries.size()))
        index = ComboBox1->count() - 1;
    {
        const QSignalBlocker blocker(ComboBox1);
        ComboBox1->setCurrentIndex(index);
    }
    ComboBox1Change();
}

// The main window's tab "Внешний вид": the screen size, from a phone model or typed.
#include "ui/Unit1.h"

#include "preview/PhoneFrame.h"
#include "preview/mainTolvoPreview.h"
#include "ui/Unit3.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
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

QWidget *TForm1::buildAppearanceTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
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

    layout->addWidget(group);
    layout->addStretch();

    connect(ComboBox1, &QComboBox::currentIndexChanged, this, &TForm1::ComboBox1Change);
    connect(CheckBox5, &QCheckBox::toggled, this, &TForm1::CheckBox5Click);
    connect(Edit6, &QSpinBox::valueChanged, this, &TForm1::Edit6Change);
    connect(Edit8, &QSpinBox::valueChanged, this, &TForm1::Edit6Change);
    return page;
}

// Reads mobiles/base.txt into the model list. A missing or broken file only costs the models:
// the typed size still works, so the user hears of it on stderr and in the console, not in a
// message box that would hold up every start.
void TForm1::loadModelList()
{
    QStringList notes;
    if (auto models = loadPhoneModels(m_programFolder)) {
        m_phoneModels = std::move(*models);
        notes = m_phoneModels.problems;
    } else {
        m_phoneModels = {};
        notes.append(QStringLiteral("Phone models not loaded: %1").arg(models.error().message));
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

void TForm1::ComboBox1Change()
{
    const int count = ComboBox1->count();
    const int index = ComboBox1->currentIndex();
    if (count == 0 || index < 0)
        return;
    const bool custom = index == count - 1;
    Edit6->setEnabled(custom);
    Edit8->setEnabled(custom);
    if (custom) {
        // A typed size belongs to no phone, so there is no picture to frame it.
        const QSignalBlocker blocker(CheckBox5);
        CheckBox5->setChecked(false);
    }
    CheckBox5->setEnabled(!custom && !m_oldInterface);
    if (!m_preview)
        return;
    if (custom) {
        m_form3->setFrame(std::nullopt);
        m_preview->setScreenSize(QSize(Edit6->value(), Edit8->value()));
    } else {
        showModel(index, CheckBox5->isChecked());
    }
}

void TForm1::showModel(int index, bool framed)
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
    m_form3->setFrame(frame);
    m_preview->setScreenSize(QSize(model.width, model.height));
}

void TForm1::CheckBox5Click()
{
    ComboBox1Change();
}

void TForm1::Edit6Change()
{
    const int count = ComboBox1->count();
    if (count == 0 || ComboBox1->currentIndex() != count - 1 || !m_preview)
        return;
    m_preview->setScreenSize(QSize(Edit6->value(), Edit8->value()));
}

void TForm1::selectModel(const QString &name)
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

// The option tabs of the main window: "Разное" and the hidden "Консоль", and the window's
// layout that holds the tabs.
#include "ui/MainWindow.h"

#include "ui/QualityWidgets.h"

#include "preview/PreviewState.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QTabWidget>

void MainWindow::buildTabs()
{
    auto *central = new QWidget(this);
    m_rowLayout = new QHBoxLayout(central);
    m_columnLayout = new QVBoxLayout;
    m_rowLayout->addLayout(m_columnLayout);
    PageControl1 = new QTabWidget(central);
    PageControl1->addTab(buildColourTab(), QStringLiteral("Настройка цветов"));
    PageControl1->addTab(buildAppearanceTab(), QStringLiteral("Внешний вид"));
    PageControl1->addTab(buildMiscTab(), QStringLiteral("Разное"));
    PageControl1->addTab(buildConsoleTab(), QStringLiteral("Консоль"));
    // The console tab stays hidden until the console option turns it on.
    PageControl1->setTabVisible(3, false);
    m_legibility = new LegibilityPanel;
    PageControl1->addTab(m_legibility, QStringLiteral("Проверка читаемости"));
    m_columnLayout->addWidget(PageControl1);
    setCentralWidget(central);
}

QWidget *MainWindow::buildMiscTab()
{
    auto *page = new QWidget;
    m_miscPageLayout = new QVBoxLayout(page);
    m_miscPageLayout->setContentsMargins(0, 0, 0, 0);
    MiscPanel = new QWidget(page);
    auto *layout = new QVBoxLayout(MiscPanel);
    SvgGroup = new QGroupBox(QStringLiteral("Преобразовать файл в SVG"), MiscPanel);
    auto *groupLayout = new QVBoxLayout(SvgGroup);
    auto *button = new QPushButton(QStringLiteral("JPG,PNG=>SVG"), SvgGroup);
    groupLayout->addWidget(button);
    layout->addWidget(SvgGroup);
    layout->addWidget(buildOpacityGroup());
    layout->addWidget(buildSelectionGroup());
    CheckBox8 = new QCheckBox(QStringLiteral("Показывать окно настроек при запуске"), MiscPanel);
    CheckBox11 = new QCheckBox(QStringLiteral("Старый интерфейс"), MiscPanel);
    layout->addWidget(CheckBox8);
    layout->addWidget(CheckBox11);
    layout->addStretch();
    // The bottom strip: all the simplified mode leaves of the main window.
    CheckBox14 = new QCheckBox(QStringLiteral("Режим эксперта"), MiscPanel);
    CheckBox14->setChecked(true);
    CheckBox13 =
        new QCheckBox(QStringLiteral("Ассоциировать приложение с расширением *.skin"), MiscPanel);
    layout->addWidget(CheckBox14);
    layout->addWidget(CheckBox13);
    m_miscPageLayout->addWidget(MiscPanel);
    connect(button, &QPushButton::clicked, this, [this] {
        const QString path =
            askPictureName(QStringLiteral("Графические форматы (png, jpg) (*.jpg *png)"));
        if (!path.isEmpty())
            convertToSvg(path);
    });
    connect(CheckBox11, &QCheckBox::toggled, this, &MainWindow::CheckBox11Click);
    connect(CheckBox14, &QCheckBox::toggled, this, &MainWindow::CheckBox14Click);
    connect(CheckBox13, &QCheckBox::toggled, this, &MainWindow::CheckBox13Click);
    return page;
}

QWidget *MainWindow::buildOpacityGroup()
{
    OpacityGroup =
        new QGroupBox(QStringLiteral("Полупрозрачность окна настройки цвета"), MiscPanel);
    auto *layout = new QHBoxLayout(OpacityGroup);
    TrackBar4 = new QSlider(Qt::Horizontal, OpacityGroup);
    TrackBar4->setRange(100, 255);
    TrackBar4->setValue(255);
    layout->addWidget(new QLabel(QStringLiteral("  Прозрачно"), OpacityGroup));
    layout->addWidget(TrackBar4, 1);
    layout->addWidget(new QLabel(QStringLiteral("Непрозрачно  "), OpacityGroup));
    connect(TrackBar4, &QSlider::valueChanged, this, &MainWindow::TrackBar4Change);
    return OpacityGroup;
}

QWidget *MainWindow::buildSelectionGroup()
{
    SelectionGroup = new QGroupBox(QStringLiteral("Способ выделения объектов"), MiscPanel);
    auto *layout = new QVBoxLayout(SelectionGroup);
    RadioGroup3 = new QButtonGroup(this);
    const QStringList items = {QStringLiteral("Отдельный элемент"),
                               QStringLiteral("Все элементы одного цвета")};
    for (int index = 0; index < int(items.size()); ++index) {
        auto *item = new QRadioButton(items[index], SelectionGroup);
        RadioGroup3->addButton(item, index);
        layout->addWidget(item);
    }
    RadioGroup3->button(int(SelectionMode::WholeSlot))->setChecked(true);
    connect(RadioGroup3, &QButtonGroup::idToggled, this, [this](int index, bool on) {
        if (on)
            RadioGroup3Click(index);
    });
    return SelectionGroup;
}

QWidget *MainWindow::buildConsoleTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_console = new QPlainTextEdit(page);
    m_console->setReadOnly(true);
    layout->addWidget(m_console);
    // The console is a developer's switch: never shown, off unless someone turns it on.
    CheckBox15 = new QCheckBox(QStringLiteral("Включить консоль"), page);
    CheckBox15->hide();
    connect(CheckBox15, &QCheckBox::toggled, this,
            [this](bool on) { PageControl1->setTabVisible(3, on); });
    return page;
}

void MainWindow::LogToConsole(const QString &text)
{
    if (CheckBox15->isChecked())
        m_console->appendPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

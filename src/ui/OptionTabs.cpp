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
    optionTabs = new QTabWidget(central);
    optionTabs->addTab(buildColourTab(), QStringLiteral("Настройка цветов"));
    optionTabs->addTab(buildAppearanceTab(), QStringLiteral("Внешний вид"));
    optionTabs->addTab(buildMiscTab(), QStringLiteral("Разное"));
    optionTabs->addTab(buildConsoleTab(), QStringLiteral("Консоль"));
    // The console tab stays hidden until the console option turns it on.
    optionTabs->setTabVisible(3, false);
    m_legibility = new LegibilityPanel;
    optionTabs->addTab(m_legibility, QStringLiteral("Проверка читаемости"));
    m_columnLayout->addWidget(optionTabs);
    setCentralWidget(central);
}

QWidget *MainWindow::buildMiscTab()
{
    auto *page = new QWidget;
    m_miscPageLayout = new QVBoxLayout(page);
    m_miscPageLayout->setContentsMargins(0, 0, 0, 0);
    miscPanel = new QWidget(page);
    auto *layout = new QVBoxLayout(miscPanel);
    svgGroup = new QGroupBox(QStringLiteral("Преобразовать файл в SVG"), miscPanel);
    auto *groupLayout = new QVBoxLayout(svgGroup);
    auto *button = new QPushButton(QStringLiteral("JPG,PNG=>SVG"), svgGroup);
    groupLayout->addWidget(button);
    layout->addWidget(svgGroup);
    layout->addWidget(buildOpacityGroup());
    layout->addWidget(buildSelectionGroup());
    settingsAtStartCheck =
        new QCheckBox(QStringLiteral("Показывать окно настроек при запуске"), miscPanel);
    oldInterfaceCheck = new QCheckBox(QStringLiteral("Старый интерфейс"), miscPanel);
    layout->addWidget(settingsAtStartCheck);
    layout->addWidget(oldInterfaceCheck);
    layout->addStretch();
    // The bottom strip: all the simplified mode leaves of the main window.
    expertModeCheck = new QCheckBox(QStringLiteral("Режим эксперта"), miscPanel);
    expertModeCheck->setChecked(true);
    associationCheck =
        new QCheckBox(QStringLiteral("Ассоциировать приложение с расширением *.skin"), miscPanel);
    layout->addWidget(expertModeCheck);
    layout->addWidget(associationCheck);
    m_miscPageLayout->addWidget(miscPanel);
    connect(button, &QPushButton::clicked, this, [this] {
        const QString path =
            askPictureName(QStringLiteral("Графические форматы (png, jpg) (*.jpg *png)"));
        if (!path.isEmpty())
            convertToSvg(path);
    });
    connect(oldInterfaceCheck, &QCheckBox::toggled, this, &MainWindow::oldInterfaceToggled);
    connect(expertModeCheck, &QCheckBox::toggled, this, &MainWindow::expertModeToggled);
    connect(associationCheck, &QCheckBox::toggled, this, &MainWindow::associationToggled);
    return page;
}

QWidget *MainWindow::buildOpacityGroup()
{
    opacityGroup =
        new QGroupBox(QStringLiteral("Полупрозрачность окна настройки цвета"), miscPanel);
    auto *layout = new QHBoxLayout(opacityGroup);
    opacitySlider = new QSlider(Qt::Horizontal, opacityGroup);
    opacitySlider->setRange(100, 255);
    opacitySlider->setValue(255);
    layout->addWidget(new QLabel(QStringLiteral("  Прозрачно"), opacityGroup));
    layout->addWidget(opacitySlider, 1);
    layout->addWidget(new QLabel(QStringLiteral("Непрозрачно  "), opacityGroup));
    connect(opacitySlider, &QSlider::valueChanged, this, &MainWindow::opacityChanged);
    return opacityGroup;
}

QWidget *MainWindow::buildSelectionGroup()
{
    selectionGroup = new QGroupBox(QStringLiteral("Способ выделения объектов"), miscPanel);
    auto *layout = new QVBoxLayout(selectionGroup);
    selectionStyleButtons = new QButtonGroup(this);
    const QStringList items = {QStringLiteral("Отдельный элемент"),
                               QStringLiteral("Все элементы одного цвета")};
    for (int index = 0; index < int(items.size()); ++index) {
        auto *item = new QRadioButton(items[index], selectionGroup);
        selectionStyleButtons->addButton(item, index);
        layout->addWidget(item);
    }
    selectionStyleButtons->button(int(SelectionMode::WholeSlot))->setChecked(true);
    connect(selectionStyleButtons, &QButtonGroup::idToggled, this, [this](int index, bool on) {
        if (on)
            selectionStyleChosen(index);
    });
    return selectionGroup;
}

QWidget *MainWindow::buildConsoleTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_console = new QPlainTextEdit(page);
    m_console->setReadOnly(true);
    layout->addWidget(m_console);
    // The console is a developer's switch: never shown, off unless someone turns it on.
    consoleCheck = new QCheckBox(QStringLiteral("Включить консоль"), page);
    consoleCheck->hide();
    connect(consoleCheck, &QCheckBox::toggled, this,
            [this](bool on) { optionTabs->setTabVisible(3, on); });
    return page;
}

void MainWindow::logToConsole(const QString &text)
{
    if (consoleCheck->isChecked())
        m_console->appendPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

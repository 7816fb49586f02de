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
    m_optionTabs = new QTabWidget(central);
    m_optionTabs->addTab(buildColourTab(), QStringLiteral("Настройка цветов"));
    m_optionTabs->addTab(buildAppearanceTab(), QStringLiteral("Внешний вид"));
    m_optionTabs->addTab(buildMiscTab(), QStringLiteral("Разное"));
    m_optionTabs->addTab(buildConsoleTab(), QStringLiteral("Консоль"));
    // The console tab stays hidden until the console option turns it on.
    m_optionTabs->setTabVisible(3, false);
    m_legibility = new LegibilityPanel;
    m_optionTabs->addTab(m_legibility, QStringLiteral("Проверка читаемости"));
    m_columnLayout->addWidget(m_optionTabs);
    setCentralWidget(central);
}

QWidget *MainWindow::buildMiscTab()
{
    auto *page = new QWidget;
    m_miscPageLayout = new QVBoxLayout(page);
    m_miscPageLayout->setContentsMargins(0, 0, 0, 0);
    m_miscPanel = new QWidget(page);
    auto *layout = new QVBoxLayout(m_miscPanel);
    m_svgGroup = new QGroupBox(QStringLiteral("Преобразовать файл в SVG"), m_miscPanel);
    auto *groupLayout = new QVBoxLayout(m_svgGroup);
    auto *button = new QPushButton(QStringLiteral("JPG,PNG=>SVG"), m_svgGroup);
    groupLayout->addWidget(button);
    layout->addWidget(m_svgGroup);
    layout->addWidget(buildOpacityGroup());
    layout->addWidget(buildSelectionGroup());
    m_settingsAtStartCheck =
        new QCheckBox(QStringLiteral("Показывать окно настроек при запуске"), m_miscPanel);
    m_oldInterfaceCheck = new QCheckBox(QStringLiteral("Старый интерфейс"), m_miscPanel);
    layout->addWidget(m_settingsAtStartCheck);
    layout->addWidget(m_oldInterfaceCheck);
    layout->addStretch();
    // The bottom strip: all the simplified mode leaves of the main window.
    m_expertModeCheck = new QCheckBox(QStringLiteral("Режим эксперта"), m_miscPanel);
    m_expertModeCheck->setChecked(true);
    m_associationCheck =
        new QCheckBox(QStringLiteral("Ассоциировать приложение с расширением *.skin"), m_miscPanel);
    layout->addWidget(m_expertModeCheck);
    layout->addWidget(m_associationCheck);
    m_miscPageLayout->addWidget(m_miscPanel);
    connect(button, &QPushButton::clicked, this, [this] {
        const QString path =
            askPictureName(QStringLiteral("Графические форматы (png, jpg) (*.jpg *png)"));
        if (!path.isEmpty())
            convertToSvg(path);
    });
    connect(m_oldInterfaceCheck, &QCheckBox::toggled, this, &MainWindow::oldInterfaceToggled);
    connect(m_expertModeCheck, &QCheckBox::toggled, this, &MainWindow::expertModeToggled);
    connect(m_associationCheck, &QCheckBox::toggled, this, &MainWindow::associationToggled);
    return page;
}

QWidget *MainWindow::buildOpacityGroup()
{
    m_opacityGroup =
        new QGroupBox(QStringLiteral("Полупрозрачность окна настройки цвета"), m_miscPanel);
    auto *layout = new QHBoxLayout(m_opacityGroup);
    m_opacitySlider = new QSlider(Qt::Horizontal, m_opacityGroup);
    m_opacitySlider->setRange(100, 255);
    m_opacitySlider->setValue(255);
    layout->addWidget(new QLabel(QStringLiteral("  Прозрачно"), m_opacityGroup));
    layout->addWidget(m_opacitySlider, 1);
    layout->addWidget(new QLabel(QStringLiteral("Непрозрачно  "), m_opacityGroup));
    connect(m_opacitySlider, &QSlider::valueChanged, this, &MainWindow::opacityChanged);
    return m_opacityGroup;
}

QWidget *MainWindow::buildSelectionGroup()
{
    m_selectionGroup = new QGroupBox(QStringLiteral("Способ выделения объектов"), m_miscPanel);
    auto *layout = new QVBoxLayout(m_selectionGroup);
    m_selectionStyleButtons = new QButtonGroup(this);
    const QStringList items = {QStringLiteral("Отдельный элемент"),
                               QStringLiteral("Все элементы одного цвета")};
    for (int index = 0; index < int(items.size()); ++index) {
        auto *item = new QRadioButton(items[index], m_selectionGroup);
        m_selectionStyleButtons->addButton(item, index);
        layout->addWidget(item);
    }
    m_selectionStyleButtons->button(int(SelectionMode::WholeSlot))->setChecked(true);
    connect(m_selectionStyleButtons, &QButtonGroup::idToggled, this, [this](int index, bool on) {
        if (on)
            selectionStyleChosen(index);
    });
    return m_selectionGroup;
}

QWidget *MainWindow::buildConsoleTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    m_console = new QPlainTextEdit(page);
    m_console->setReadOnly(true);
    layout->addWidget(m_console);
    // The console is a developer's switch: never shown, off unless someone turns it on.
    m_consoleCheck = new QCheckBox(QStringLiteral("Включить консоль"), page);
    m_consoleCheck->hide();
    connect(m_consoleCheck, &QCheckBox::toggled, this,
            [this](bool on) { m_optionTabs->setTabVisible(3, on); });
    return page;
}

void MainWindow::logToConsole(const QString &text)
{
    if (m_consoleCheck->isChecked())
        m_console->appendPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

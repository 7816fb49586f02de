// The option tabs of the main window: "Разное" and the hidden "Консоль".
#include "ui/Unit1.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

void TForm1::buildTabs()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->addTab(buildColourTab(), QStringLiteral("Настройка цветов"));
    PageControl1->addTab(buildAppearanceTab(), QStringLiteral("Внешний вид"));
    PageControl1->addTab(buildMiscTab(), QStringLiteral("Разное"));
    PageControl1->addTab(buildConsoleTab(), QStringLiteral("Консоль"));
    // The console tab stays hidden until the console option turns it on.
    PageControl1->setTabVisible(3, false);
    setCentralWidget(PageControl1);
}

QWidget *TForm1::buildMiscTab()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *group = new QGroupBox(QStringLiteral("Преобразовать файл в SVG"), page);
    auto *groupLayout = new QVBoxLayout(group);
    auto *button = new QPushButton(QStringLiteral("JPG,PNG=>SVG"), group);
    groupLayout->addWidget(button);
    layout->addWidget(group);
    layout->addStretch();
    connect(button, &QPushButton::clicked, this, [this] {
        const QString path =
            askPictureName(QStringLiteral("Графические форматы (png, jpg) (*.jpg *png)"));
        if (!path.isEmpty())
            convertToSvg(path);
    });
    return page;
}

QWidget *TForm1::buildConsoleTab()
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

void TForm1::LogToConsole(const QString &text)
{
    if (CheckBox15->isChecked())
        m_console->appendPlainText(
            QString(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

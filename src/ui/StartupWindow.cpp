#include "ui/StartupWindow.h"

#include "ui/ProgramIcon.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

StartupWindow::StartupWindow(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    setWindowIcon(programIcon());
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    pal.setColor(QPalette::WindowText, Qt::black);
    setPalette(pal);
    setFixedSize(270, 76);

    QFont small = font();
    small.setPixelSize(9);

    auto *icon = new QLabel(this);
    icon->setPixmap(QPixmap::fromImage(paintProgramIcon(48)));
    icon->setGeometry(6, 6, 48, 48);

    m_label = new QLabel(this);
    m_label->setGeometry(60, 4, 163, 48);
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_label->setFont(small);

    auto *version = new QLabel(QStringLiteral("Velmora for TolvoICQ v.0.6.5"), this);
    version->setGeometry(4, 58, 150, 16);
    version->setFont(small);
    auto *author = new QLabel(QStringLiteral("© Velmora team, 2026"), this);
    author->setGeometry(156, 58, 110, 16);
    author->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    author->setFont(small);

    m_ok = new QPushButton(QStringLiteral("OK"), this);
    m_ok->setGeometry(232, 4, 33, 28);
    m_ok->hide();
    connect(m_ok, &QPushButton::clicked, this, &StartupWindow::chooseContactListFont);

    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void StartupWindow::setMessage(const QString &text)
{
    m_label->setText(text);
    m_history.append(text);
    if (isVisible()) {
        repaint();
        QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void StartupWindow::Error(const QString &message)
{
    m_ok->show();
    setMessage(message);
}

bool StartupWindow::hasError() const
{
    return !m_ok->isHidden();
}

QString StartupWindow::message() const
{
    return m_label->text();
}

void StartupWindow::chooseContactListFont()
{
    emit okClicked();
}

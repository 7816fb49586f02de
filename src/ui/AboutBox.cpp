#include "ui/AboutBox.h"

#include "export/SaveSkin.h"
#include "ui/ProgramIcon.h"

#include <QDate>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QScreen>
#include <QUrl>
#include <QVBoxLayout>

namespace {

constexpr QSize kClientSize(345, 210);

QLabel *boldLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

} // namespace

QString buildDateText()
{
    // The compiler's own date of this file, "Mmm dd yyyy" in English.
    const QDate built = QLocale::c().toDate(QString::fromLatin1(__DATE__).simplified(),
                                            QStringLiteral("MMM d yyyy"));
    return QLocale(QLocale::Russian).toString(built, QStringLiteral("d MMMM yyyy 'г.'"));
}

AboutBox::AboutBox(const QString &programFolder, UrlOpener opener, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowCloseButtonHint)
    , m_open(std::move(opener))
{
    setWindowTitle(QStringLiteral("О программе..."));
    setFixedSize(kClientSize);
    const AboutLinks about = readAboutLinks(programFolder);

    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    auto *icon = new QLabel(this);
    icon->setPixmap(programIcon().pixmap(48, 48));
    icon->setFixedSize(48, 48);
    top->addWidget(icon, 0, Qt::AlignTop);
    auto *names = new QVBoxLayout;
    names->setSpacing(1);
    names->addWidget(boldLabel(QStringLiteral("Velmora for TolvoICQ"), this));
    names->addWidget(boldLabel(QStringLiteral("Версия 0.6.5"), this));
    names->addWidget(new QLabel(about.makers, this));
    m_forumLink = link(QStringLiteral("Напишите авторам на форуме TolvoICQ"), about.forum,
                       QStringLiteral("color: navy; text-decoration: underline;"));
    names->addWidget(m_forumLink);
    top->addLayout(names, 1);
    layout->addLayout(top);

    auto *thanks = new QLabel(
        QStringLiteral("Спасибо автору TolvoICQ за клиент, ради которого сделана эта программа, "
                       "и всем, кто проверял скины на своих телефонах и присылал замечания."),
        this);
    thanks->setWordWrap(true);
    layout->addWidget(thanks);
    // An empty line between the thanks and the date.
    layout->addSpacing(thanks->fontMetrics().lineSpacing());
    m_buildDate = new QLabel(QStringLiteral("Дата компиляции: %1").arg(buildDateText()), this);
    layout->addWidget(m_buildDate);
    layout->addStretch();
    m_siteLink = link(QUrl(about.site).host().isEmpty() ? about.site : QUrl(about.site).host(),
                      about.site, QStringLiteral("color: blue; font-weight: bold;"));
    layout->addWidget(m_siteLink, 0, Qt::AlignRight);
}

QLabel *AboutBox::link(const QString &text, const QString &address, const QString &style)
{
    auto *label = new QLabel(QStringLiteral("<a href=\"%1\" style=\"%2\">%3</a>")
                                 .arg(address.toHtmlEscaped(), style, text.toHtmlEscaped()),
                             this);
    label->setTextFormat(Qt::RichText);
    label->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    label->setCursor(Qt::PointingHandCursor);
    // A box without addresses still shows the lines, as plain text.
    label->setEnabled(!address.isEmpty());
    connect(label, &QLabel::linkActivated, this, [this](const QString &url) {
        if (m_open)
            m_open(QUrl(url));
    });
    return label;
}

void AboutBox::showCentred()
{
    if (const QScreen *display = QGuiApplication::primaryScreen())
        move(display->availableGeometry().center() - rect().center());
    show();
    raise();
    activateWindow();
}

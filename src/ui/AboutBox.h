#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QUrl;

// The about box "О программе...": name, version, makers, a link to the makers on the client's
// forum, thanks, the build date and a link to the client's web site. It never blocks.
class AboutBox : public QWidget
{
    Q_OBJECT
public:
    // Opens an address with the desktop's default handler; tests catch it instead.
    using UrlOpener = std::function<bool(const QUrl &)>;

    AboutBox(const QString &programFolder, UrlOpener opener, QWidget *parent = nullptr);

    // Shows the box in the middle of the screen, over the other windows.
    void showCentred();
    bool hasUrlOpener() const { return bool(m_open); }

    QLabel *forumLink() const { return m_forumLink; }
    QLabel *siteLink() const { return m_siteLink; }
    QLabel *buildDate() const { return m_buildDate; }

private:
    QLabel *m_forumLink = nullptr;
    QLabel *m_siteLink = nullptr;
    QLabel *m_buildDate = nullptr;
    QLabel *link(const QString &text, const QString &address, const QString &style);

    UrlOpener m_open;
};

// "16 февраля 2009 г.": the date of this build, as the box shows it.
QString buildDateText();

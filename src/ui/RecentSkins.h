#pragma once

#include <QObject>
#include <QStringList>

class QMenu;
class QWidget;

// "Недавние": the last skins opened or saved, newest first, in a menu both windows carry. The
// list lives in a file of the user's data folder (the settings file's format is fixed), one
// path per line; an entry whose file is gone stays, shown disabled.
class RecentSkins : public QObject
{
    Q_OBJECT
public:
    static constexpr int kMaxEntries = 8;

    explicit RecentSkins(QWidget *owner);

    QMenu *menu() const { return m_menu; }
    QStringList paths() const { return m_paths; }
    // Reads the list kept in file and keeps it there from now on; an unreadable file starts
    // an empty list.
    void keepIn(const QString &file);
    // The skin goes to the top, once.
    void add(const QString &path);

signals:
    void chosen(const QString &path);

private:
    void rebuild();
    void write();

    QMenu *m_menu = nullptr;
    QStringList m_paths;
    QString m_file;
};

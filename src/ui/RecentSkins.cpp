#include "ui/RecentSkins.h"

#include "platform/FileOps.h"

#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

// A list of eight paths is a few kilobytes; anything much larger is not ours.
constexpr qint64 kMaxListSize = 64 * 1024;

} // namespace

RecentSkins::RecentSkins(QWidget *owner)
    : QObject(owner)
    , m_menu(new QMenu(QStringLiteral("Недавние"), owner))
{
    // Files come and go while the program runs: which are missing is decided at each opening.
    connect(m_menu, &QMenu::aboutToShow, this, &RecentSkins::rebuild);
    rebuild();
}

void RecentSkins::keepIn(const QString &file)
{
    m_file = file;
    // A skin opened before the list was read (the one named on the command line) is the newest.
    const QStringList earlier = m_paths;
    m_paths.clear();
    if (const auto bytes = readWholeFile(file, kMaxListSize)) {
        for (const QString &line : QString::fromUtf8(*bytes).split(u'\n', Qt::SkipEmptyParts)) {
            if (!m_paths.contains(line))
                m_paths.append(line);
        }
    }
    for (auto path = earlier.crbegin(); path != earlier.crend(); ++path) {
        m_paths.removeAll(*path);
        m_paths.prepend(*path);
    }
    while (m_paths.size() > kMaxEntries)
        m_paths.removeLast();
    rebuild();
    if (!earlier.isEmpty())
        write();
}

void RecentSkins::write()
{
    // The list is a convenience: a folder that cannot be written only means it is not kept.
    if (!m_file.isEmpty())
        (void)writeFileAtomically(m_file, (m_paths.join(u'\n') + u'\n').toUtf8());
}

void RecentSkins::add(const QString &path)
{
    const QString absolute = QFileInfo(path).absoluteFilePath();
    m_paths.removeAll(absolute);
    m_paths.prepend(absolute);
    while (m_paths.size() > kMaxEntries)
        m_paths.removeLast();
    rebuild();
    write();
}

void RecentSkins::rebuild()
{
    m_menu->clear();
    m_menu->setEnabled(!m_paths.isEmpty());
    for (const QString &path : m_paths) {
        QAction *item = m_menu->addAction(QDir::toNativeSeparators(path));
        item->setEnabled(QFileInfo(path).isFile());
        connect(item, &QAction::triggered, this, [this, path] { emit chosen(path); });
    }
}

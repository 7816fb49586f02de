#pragma once

#include "preview/Legibility.h"
#include "preview/SlotUsage.h"

#include <QWidget>

class QLabel;
class QListWidget;
class QTreeWidget;

// A named screen as the window calls it ("Окно сообщений" for chat, …).
QString screenTitle(const QString &name);

// "Проверка читаемости": the slots whose text is hard to read, worst first, each with its
// contrast, grade, screen and a crop of the worst place. Clicking a row asks for that slot on
// that screen.
class LegibilityPanel : public QWidget
{
    Q_OBJECT
public:
    explicit LegibilityPanel(QWidget *parent = nullptr);
    void showAudit(const QList<SlotLegibility> &audit);
    // The list, for tests.
    QTreeWidget *list() const { return m_list; }

signals:
    void placePicked(int slot, const QString &screen);

private:
    QTreeWidget *m_list;
    QLabel *m_summary;
};

// Thumbnails of every screen where the selected slot paints, its elements inverted. Clicking
// one asks for that screen.
class SlotUsageStrip : public QWidget
{
    Q_OBJECT
public:
    explicit SlotUsageStrip(QWidget *parent = nullptr);
    void showUsage(int slot, const QList<ScreenUsage> &usage);
    QListWidget *list() const { return m_list; }

signals:
    void screenPicked(const QString &screen);

private:
    QLabel *m_title;
    QListWidget *m_list;
};

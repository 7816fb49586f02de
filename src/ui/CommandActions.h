#pragma once

#include <QKeySequence>
#include <QObject>

#include <array>

class QAction;

// The file and help commands both menus carry. Each is one row of a table and, where both menus
// show it alike, one action in both (its shortcut then works in both windows, its caption
// changes in both). Where the menus differ ("О программе..." in the main menu, "О программе"
// in the preview's; Ctrl+E only on the main menu's "Выход") the row makes a second action for
// the preview menu.
enum class Command {
    Open,
    Save,
    ImportScheme,
    ImportBackground,
    ImportCursor,
    ImportPalette,
    ExportSkin,
    ExportMif,
    ExportBackground,
    ExportCursor,
    ExportPalette,
    Screenshot,
    AllScreens,
    Help,
    About,
    Quit,
};
inline constexpr std::size_t kCommandCount = 16;

class CommandActions : public QObject
{
    Q_OBJECT
public:
    explicit CommandActions(QObject *parent = nullptr);

    // The command's item in the main menu, and in the preview menu.
    QAction *main(Command id) const { return m_main[std::size_t(id)]; }
    QAction *preview(Command id) const { return m_preview[std::size_t(id)]; }

signals:
    // Either menu's item of the command was chosen.
    void triggered(Command id);

private:
    std::array<QAction *, kCommandCount> m_main{};
    std::array<QAction *, kCommandCount> m_preview{};
};

#include "ui/CommandActions.h"

#include <QAction>

namespace {

struct CommandRow
{
    Command id;
    const char *caption;
    QKeySequence shortcut;
    // The preview menu's caption where it differs, and whether it leaves the shortcut out.
    const char *previewCaption = nullptr;
    bool previewWithoutShortcut = false;
};

const std::array<CommandRow, kCommandCount> &commandRows()
{
    static const std::array<CommandRow, kCommandCount> rows = {{
        {Command::Open, "Открыть", QKeySequence(Qt::CTRL | Qt::Key_O)},
        {Command::Save, "Сохранить", QKeySequence(Qt::CTRL | Qt::Key_S)},
        {Command::ImportScheme, "цветовую схему", {}},
        {Command::ImportBackground, "фоновый рисунок", {}},
        {Command::ImportCursor, "курсор", {}},
        {Command::ImportPalette, "палитру…", {}},
        {Command::ExportSkin, "*.skin", {}},
        {Command::ExportMif, "*.mif", {}},
        {Command::ExportBackground, "Фон", {}},
        {Command::ExportCursor, "Курсор", {}},
        {Command::ExportPalette, "палитру…", {}},
        {Command::Screenshot, "Скриншот экрана", {}},
        {Command::AllScreens, "Все экраны…", {}},
        {Command::Help, "Помощь", {}},
        {Command::About, "О программе...", {}, "О программе"},
        {Command::Quit, "Выход", QKeySequence(Qt::CTRL | Qt::Key_E), nullptr, true},
    }};
    return rows;
}

} // namespace

CommandActions::CommandActions(QObject *parent)
    : QObject(parent)
{
    const auto make = [this](const CommandRow &row, const char *caption, bool withShortcut) {
        auto *action = new QAction(QString::fromUtf8(caption), this);
        if (withShortcut)
            action->setShortcut(row.shortcut);
        connect(action, &QAction::triggered, this, [this, id = row.id] { emit triggered(id); });
        return action;
    };
    for (const CommandRow &row : commandRows()) {
        const std::size_t at = std::size_t(row.id);
        Q_ASSERT(!m_main[at]);
        m_main[at] = make(row, row.caption, true);
        const bool differs = row.previewCaption || row.previewWithoutShortcut;
        m_preview[at] = differs ? make(row, row.previewCaption ? row.previewCaption : row.caption,
                                       !row.previewWithoutShortcut)
                                : m_main[at];
    }
}

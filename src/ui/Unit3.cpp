#include "ui/Unit3.h"

#include "preview/mainTolvoPreview.h"
#include "ui/ProgramIcon.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace {

QAction *addItem(QMenu *menu, const QString &caption, bool enabled = false,
                 const QKeySequence &shortcut = {})
{
    QAction *action = menu->addAction(caption);
    action->setEnabled(enabled);
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

} // namespace

TForm3::TForm3(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    setWindowIcon(programIcon());
    setMouseTracking(true);
    resize(240, 320);
    buildPopupMenu();
}

void TForm3::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    QMenu *m = PopupMenu1;
    N40 = addItem(m, QStringLiteral("Открыть"), true, QKeySequence(Qt::CTRL | Qt::Key_O));
    skinmif1 = addItem(m, QStringLiteral("Сохранить"), false, QKeySequence(Qt::CTRL | Qt::Key_S));
    m->addSeparator();
    QMenu *contacts = m->addMenu(QStringLiteral("Контакт лист"));
    N4 =
        addItem(contacts, QStringLiteral("Показать контакт-лист"), false, QKeySequence(Qt::Key_F1));
    contacts->addSeparator();
    addItem(contacts, QStringLiteral("Показать группы"));
    addItem(contacts, QStringLiteral("Показать отключившихся"));
    addItem(contacts, QStringLiteral("Показывать иконки клиентов"));
    addItem(contacts, QStringLiteral("Маленькие часы"));
    contacts->addSeparator();
    QMenu *sorting = contacts->addMenu(QStringLiteral("Сортировка"));
    addItem(sorting, QStringLiteral("по имени"));
    addItem(sorting, QStringLiteral("по статусу"));
    QMenu *columns = contacts->addMenu(QStringLiteral("Число колонок"));
    for (int n = 1; n <= 5; ++n)
        addItem(columns, QString::number(n));
    N10 = addItem(m, QStringLiteral("Окно сообщений"), false, QKeySequence(Qt::Key_F2));
    N11 = addItem(m, QStringLiteral("Окно настроек"), false, QKeySequence(Qt::Key_F3));
    m->addSeparator();
    QMenu *menu = m->addMenu(QStringLiteral("Меню"));
    addItem(menu, QStringLiteral("показать"));
    menu->addSeparator();
    addItem(menu, QStringLiteral("левое"));
    addItem(menu, QStringLiteral("правое"));
    addItem(m, QStringLiteral("Показать всплывающее окно"));
    QMenu *info = m->addMenu(QStringLiteral("Показать уведомляющие окна"));
    addItem(info, QStringLiteral("показывать"));
    info->addSeparator();
    addItem(info, QStringLiteral("слева"));
    addItem(info, QStringLiteral("справа"));
    m->addSeparator();
    QMenu *import = m->addMenu(QStringLiteral("Импортировать"));
    N14 = addItem(import, QStringLiteral("цветовую схему"), true);
    N8 = addItem(import, QStringLiteral("фоновый рисунок"));
    N13 = addItem(import, QStringLiteral("курсор"));
    QMenu *exportMenu = m->addMenu(QStringLiteral("Экспортировать"));
    addItem(exportMenu, QStringLiteral("*.mif"));
    addItem(exportMenu, QStringLiteral("*.skin"));
    exportMenu->addSeparator();
    addItem(exportMenu, QStringLiteral("Фон"));
    addItem(exportMenu, QStringLiteral("Курсор"));
    exportMenu->addSeparator();
    addItem(exportMenu, QStringLiteral("Скриншот экрана"));
    m->addSeparator();
    addItem(m, QStringLiteral("Переключиться в \"упрощённый режим\""));
    N6 = addItem(m, QStringLiteral("Настройки"), true);
    QMenu *help = m->addMenu(QStringLiteral("Помощь"));
    addItem(help, QStringLiteral("Помощь"));
    addItem(help, QStringLiteral("О программе"));
    m->addSeparator();
    N7 = addItem(m, QStringLiteral("Выход"), true);
    // Shortcuts only fire for actions the window itself carries.
    addActions(m->actions());
    addActions(contacts->actions());
}

void TForm3::setPreview(TTolvoPreview *preview)
{
    m_preview = preview;
    connect(preview, &TTolvoPreview::rendered, this, &TForm3::previewRendered);
    previewRendered();
}

QImage TForm3::shownScreen() const
{
    return m_preview ? m_preview->picture() : QImage();
}

void TForm3::previewRendered()
{
    if (!m_preview)
        return;
    const QSize size =
        m_preview->picture().isNull() ? m_preview->screenSize() : m_preview->picture().size();
    if (size != this->size())
        setFixedSize(size);
    update();
}

void TForm3::paintEvent(QPaintEvent *)
{
    if (!m_preview || m_preview->picture().isNull())
        return;
    QPainter painter(this);
    // Phone pixels stay sharp: no smoothing when the desktop scales the window.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(rect(), m_preview->picture());
}

void TForm3::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_quitting)
        emit closedByUser();
}

void TForm3::mousePressEvent(QMouseEvent *event)
{
    m_dragging = true;
    m_moved = false;
    m_pressed = event->position().toPoint();
}

void TForm3::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!m_dragging) {
        if (m_preview && m_preview->hitTest(at.x(), at.y()))
            m_preview->Render();
        return;
    }
    move(pos() + at - m_pressed);
    if (at != m_pressed)
        m_moved = true;
}

void TForm3::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
    m_moved = false;
}

void TForm3::contextMenuEvent(QContextMenuEvent *event)
{
    PopupMenu1->popup(event->globalPos());
}

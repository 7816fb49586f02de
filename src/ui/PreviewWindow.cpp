#include "ui/PreviewWindow.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"
#include "preview/PhonePreview.h"
#include "preview/PreviewOptions.h"
#include "ui/CommandActions.h"
#include "ui/PreviewControl.h"
#include "ui/ProgramIcon.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QTransform>

#include <cmath>
#include <optional>

namespace {

// How close to a screen edge the window jumps onto it.
constexpr int kSnapDistance = 10;

QAction *addItem(QMenu *menu, const QString &caption, bool enabled = true,
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

QAction *addToggle(QMenu *menu, const QString &caption)
{
    QAction *action = addItem(menu, caption);
    action->setCheckable(true);
    return action;
}

} // namespace

PreviewWindow::PreviewWindow(const CommandActions &commands, QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
    , m_commands(commands)
{
    setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    setWindowIcon(programIcon());
    setMouseTracking(true);
    setAcceptDrops(true);
    resize(240, 320);
    m_control = new PreviewControl(this);
    buildPopupMenu();
    m_hoverWatch.setInterval(100);
    connect(&m_hoverWatch, &QTimer::timeout, this, &PreviewWindow::hideHighlightOutside);
    m_startupHide.setInterval(100);
    m_startupHide.setSingleShot(true);
    connect(&m_startupHide, &QTimer::timeout, this, &PreviewWindow::hideForOldInterface);
    m_startupHide.start();
}

void PreviewWindow::buildVisionMenu(QMenu *menu)
{
    m_visionMenu = menu->addMenu(QStringLiteral("Цветовое зрение"));
    auto *group = new QActionGroup(this);
    const std::pair<const char16_t *, ColourVision> kinds[] = {
        {u"Обычное", ColourVision::Normal},
        {u"Протанопия", ColourVision::Protanopia},
        {u"Дейтеранопия", ColourVision::Deuteranopia},
        {u"Тританопия", ColourVision::Tritanopia},
        {u"Монохромное", ColourVision::Achromatopsia},
    };
    for (const auto &[caption, vision] : kinds) {
        QAction *item = addToggle(m_visionMenu, QString::fromUtf16(caption));
        group->addAction(item);
        m_visionItems.append(item);
        connect(item, &QAction::triggered, this,
                [this, vision] { m_control->setColourVision(vision); });
    }
    m_visionItems.first()->setChecked(true);
}

void PreviewWindow::addRecentMenu(QMenu *recent)
{
    m_contextMenu->insertMenu(m_commands.preview(Command::Save), recent);
}

void PreviewWindow::addHistoryItems(const QList<QAction *> &items)
{
    const QList<QAction *> menuItems = m_contextMenu->actions();
    // Right after "Сохранить", with a line of their own below.
    QAction *before = menuItems.value(menuItems.indexOf(m_commands.preview(Command::Save)) + 1);
    m_contextMenu->insertActions(before, items);
    addActions(items);
}

void PreviewWindow::addToggleItems(QMenu *menu, Toggle id)
{
    const PreviewToggle &toggle = previewToggle(id);
    m_toggleActions[std::size_t(id)] = addToggle(menu, QString::fromUtf8(toggle.menuItem));
    if (toggle.otherSideItem)
        m_otherSideActions[std::size_t(id)] =
            addToggle(menu, QString::fromUtf8(toggle.otherSideItem));
}

void PreviewWindow::buildPopupMenu()
{
    m_contextMenu = new QMenu(this);
    QMenu *m = m_contextMenu;
    const auto item = [this](Command id) {
        return m_commands.preview(id);
    };
    m->addActions({item(Command::Open), item(Command::Save)});
    m->addSeparator();
    m_contactListMenu = m->addMenu(QStringLiteral("Контакт лист"));
    m_showContactListAction = addItem(m_contactListMenu, QStringLiteral("Показать контакт-лист"),
                                      true, QKeySequence(Qt::Key_F1));
    m_contactListMenu->addSeparator();
    for (Toggle id : {Toggle::Groups, Toggle::Offline, Toggle::ClientIcons, Toggle::MiniClock})
        addToggleItems(m_contactListMenu, id);
    m_contactListMenu->addSeparator();
    QMenu *sortMenu = m_contactListMenu->addMenu(QStringLiteral("Сортировка"));
    m_sortByNameAction = addToggle(sortMenu, QStringLiteral("по имени"));
    m_sortByStatusAction = addToggle(sortMenu, QStringLiteral("по статусу"));
    QMenu *columnsMenu = m_contactListMenu->addMenu(QStringLiteral("Число колонок"));
    auto *columns = new QActionGroup(this);
    m_oneColumnAction = addToggle(columnsMenu, QStringLiteral("1"));
    m_twoColumnsAction = addToggle(columnsMenu, QStringLiteral("2"));
    m_threeColumnsAction = addToggle(columnsMenu, QStringLiteral("3"));
    m_fourColumnsAction = addToggle(columnsMenu, QStringLiteral("4"));
    m_fiveColumnsAction = addToggle(columnsMenu, QStringLiteral("5"));
    for (QAction *item : columnItems())
        columns->addAction(item);
    // Only the simplified mode shows the contact list at the top level.
    m_contactListAction = addItem(m, QStringLiteral("Контакт лист"));
    m_contactListAction->setShortcutContext(Qt::WindowShortcut);
    m_contactListAction->setVisible(false);
    m_chatAction = addItem(m, QStringLiteral("Окно сообщений"), true, QKeySequence(Qt::Key_F2));
    m_settingsScreenAction =
        addItem(m, QStringLiteral("Окно настроек"), true, QKeySequence(Qt::Key_F3));
    m->addSeparator();
    m_phoneMenusMenu = m->addMenu(QStringLiteral("Меню"));
    addToggleItems(m_phoneMenusMenu, Toggle::Menu);
    m_phoneMenusMenu->addSeparator();
    addToggleItems(m_phoneMenusMenu, Toggle::MenuLeft);
    addToggleItems(m, Toggle::Popup);
    m_notificationsMenu = m->addMenu(QStringLiteral("Показать уведомляющие окна"));
    addToggleItems(m_notificationsMenu, Toggle::Notifications);
    m_notificationsMenu->addSeparator();
    addToggleItems(m_notificationsMenu, Toggle::NotificationsLeft);
    buildVisionMenu(m);
    m_importSeparator = m->addSeparator();
    QMenu *importMenu = m->addMenu(QStringLiteral("Импортировать"));
    importMenu->addActions({item(Command::ImportScheme), item(Command::ImportBackground),
                            item(Command::ImportCursor), item(Command::ImportPalette)});
    QMenu *exportMenu = m->addMenu(QStringLiteral("Экспортировать"));
    // The preview menu has always listed the MIF first.
    exportMenu->addActions({item(Command::ExportMif), item(Command::ExportSkin)});
    m_exportSeparator = exportMenu->addSeparator();
    exportMenu->addActions({item(Command::ExportBackground), item(Command::ExportCursor),
                            item(Command::ExportPalette)});
    exportMenu->addSeparator();
    exportMenu->addActions({item(Command::Screenshot), item(Command::AllScreens)});
    m->addSeparator();
    m_simplifiedModeAction = addItem(m, QStringLiteral("Переключиться в \"упрощённый режим\""));
    m_settingsAction = addItem(m, QStringLiteral("Настройки"));
    QMenu *helpMenu = m->addMenu(QStringLiteral("Помощь"));
    helpMenu->addActions({item(Command::Help), item(Command::About)});
    m->addSeparator();
    m->addAction(item(Command::Quit));
    // Shortcuts only fire for actions the window itself carries.
    addActions({item(Command::Open), item(Command::Save), m_showContactListAction,
                m_contactListAction, m_chatAction, m_settingsScreenAction});

    connect(m_showContactListAction, &QAction::triggered, this,
            [this] { showScreen(PreviewScreen::ContactListPicked); });
    connect(m_contactListAction, &QAction::triggered, this,
            [this] { showScreen(PreviewScreen::ContactListPicked); });
    connect(m_chatAction, &QAction::triggered, this, [this] { showScreen(PreviewScreen::Chat); });
    connect(m_settingsScreenAction, &QAction::triggered, this,
            [this] { showScreen(PreviewScreen::Settings); });
    // The option items act on the main window's options, which set their check marks.
}

QList<QAction *> PreviewWindow::columnItems() const
{
    return {m_oneColumnAction, m_twoColumnsAction, m_threeColumnsAction, m_fourColumnsAction,
            m_fiveColumnsAction};
}

void PreviewWindow::setExpertMenus(bool expert)
{
    m_contactListMenu->menuAction()->setVisible(expert);
    m_contactListAction->setVisible(!expert);
    // F1 belongs to whichever contact-list item the mode shows: two actions of the window
    // holding one key would make Qt give the key to neither.
    m_showContactListAction->setShortcut(expert ? QKeySequence(Qt::Key_F1) : QKeySequence());
    m_contactListAction->setShortcut(expert ? QKeySequence() : QKeySequence(Qt::Key_F1));
    for (QAction *item : {m_phoneMenusMenu->menuAction(), toggleAction(Toggle::Popup),
                          m_notificationsMenu->menuAction(), m_importSeparator,
                          m_commands.preview(Command::ExportMif),
                          m_commands.preview(Command::ExportSkin), m_exportSeparator})
        item->setVisible(expert);
    m_simplifiedModeAction->setText(expert ? QStringLiteral("Переключиться в \"упрощённый режим\"")
                                           : QStringLiteral("Переключиться в \"режим эксперта\""));
}

void PreviewWindow::setOldInterface(bool on)
{
    m_oldInterface = on;
    m_simplifiedModeAction->setVisible(!on);
    if (on) {
        m_hoverWatch.stop();
        hide();
    }
}

void PreviewWindow::checkColumnItem()
{
    if (!m_preview)
        return;
    m_preview->setColumns(columnCountSource ? columnCountSource() : m_preview->state().columns);
    const QList<QAction *> items = columnItems();
    for (int n = 1; n <= int(items.size()); ++n)
        items[n - 1]->setChecked(m_preview->state().columns == n);
}

void PreviewWindow::showScreen(PreviewScreen screen)
{
    if (!m_preview)
        return;
    m_preview->regions().HoverSlot = 0;
    m_preview->setActiveScreen(screen);
}

void PreviewWindow::setPreview(PhonePreview *preview)
{
    m_preview = preview;
    // The control sizes itself first, then this window fits around it.
    m_control->setPreview(preview);
    connect(preview, &PhonePreview::rendered, m_control, &PreviewControl::fitToPicture);
    connect(preview, &PhonePreview::rendered, this, &PreviewWindow::previewRendered);
    previewRendered();
    checkColumnItem();
}

bool PreviewWindow::hostsControl() const
{
    return m_control->parentWidget() == this;
}

void PreviewWindow::hostControl()
{
    if (!hostsControl()) {
        m_control->setParent(this);
        m_control->setOwnMouse(false);
    }
    m_control->show();
    m_control->fitToPicture();
    previewRendered();
}

int PreviewWindow::pixelScale() const
{
    return m_control->pixelScale();
}

QImage PreviewWindow::shownScreen() const
{
    return m_preview ? m_preview->picture() : QImage();
}

QImage PreviewWindow::shownWindow() const
{
    return m_frame ? framedScreen(shownScreen(), *m_frame) : shownScreen();
}

void PreviewWindow::setFrame(const std::optional<PhoneFrame> &frame)
{
    m_frame = frame;
    // framedScreen draws in this format; converting once here keeps every paint from doing it.
    if (m_frame)
        m_frame->picture = m_frame->picture.convertToFormat(QImage::Format_ARGB32);
    previewRendered();
}

void PreviewWindow::previewRendered()
{
    if (!hostsControl())
        return;
    const QSize screen = !m_preview                      ? QSize()
                         : m_preview->picture().isNull() ? m_preview->screenSize()
                                                         : m_preview->picture().size();
    const QSize phone = m_frame ? m_frame->picture.size() : screen;
    if (phone.isEmpty())
        return;
    const QSize logical = m_control->logicalSize(phone);
    if (logical != size())
        setFixedSize(logical);
    const QSize at = m_control->logicalSize(QSize(screenAt().x(), screenAt().y()));
    m_control->move(at.width(), at.height());
    applyShape(m_frame ? m_frame->shape : screenShape(phone));
    update();
}

void PreviewWindow::applyShape(const QRegion &shape)
{
    const qreal factor = pixelScale() / devicePixelRatioF();
    if (shape == m_shape && factor == m_shapeFactor)
        return;
    m_shape = shape;
    m_shapeFactor = factor;
    setMask(factor == 1 ? shape : QTransform::fromScale(factor, factor).map(shape));
}

QPointF PreviewWindow::onControl(const QPointF &windowPoint) const
{
    return windowPoint - QPointF(m_control->pos());
}

QPoint PreviewWindow::toPhone(const QPointF &windowPoint) const
{
    return m_control->toPhone(onControl(windowPoint));
}

void PreviewWindow::paintEvent(QPaintEvent *)
{
    // The screen control paints the screen over the phone; the window's mask cuts away what
    // lies outside the phone.
    if (!m_frame)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const int scale = pixelScale();
    QImage scaled = scale == 1
                        ? m_frame->picture
                        : m_frame->picture.scaled(m_frame->picture.size() * scale,
                                                  Qt::IgnoreAspectRatio, Qt::FastTransformation);
    scaled.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), scaled);
}

void PreviewWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (!m_quitting)
        emit closedByUser();
}

void PreviewWindow::mousePressEvent(QMouseEvent *event)
{
    if (m_oldInterface)
        return;
    m_dragging = true;
    m_moved = false;
    m_pressed = event->position().toPoint();
}

QPoint PreviewWindow::snapped(QPoint topLeft) const
{
    const QScreen *display = screen();
    if (!display)
        return topLeft;
    const QRect area = display->availableGeometry();
    if (std::abs(topLeft.x() - area.left()) < kSnapDistance)
        topLeft.setX(area.left());
    if (std::abs(topLeft.y() - area.top()) < kSnapDistance)
        topLeft.setY(area.top());
    if (std::abs(topLeft.x() + width() - 1 - area.right()) < kSnapDistance)
        topLeft.setX(area.right() + 1 - width());
    if (std::abs(topLeft.y() + height() - 1 - area.bottom()) < kSnapDistance)
        topLeft.setY(area.bottom() + 1 - height());
    return topLeft;
}

void PreviewWindow::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_dragging) {
        move(snapped(pos() + at - m_pressed));
        if (at != m_pressed)
            m_moved = true;
    } else if (hostsControl()) {
        // Over the phone body the control puts the highlight away.
        m_control->hoverAt(onControl(event->position()));
    }
    m_hoverWatch.start();
}

void PreviewWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_moved && event->button() == Qt::LeftButton && hostsControl()) {
        const QPointF at = onControl(event->position());
        const QRect element = m_control->elementOnScreen(at);
        if (const int slot = m_control->clickAt(at); slot >= 0)
            emit slotClicked(slot, element);
    }
    m_dragging = false;
    m_moved = false;
}

// The control leaves drops to this window too, as it does the mouse.
void PreviewWindow::dragEnterEvent(QDragEnterEvent *event)
{
    if (hostsControl() && !PreviewControl::droppableFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PreviewWindow::dropEvent(QDropEvent *event)
{
    if (hostsControl() && m_control->takeDrop(event->mimeData(), onControl(event->position())))
        event->acceptProposedAction();
}

bool PreviewWindow::event(QEvent *event)
{
    // The control leaves the mouse to this window, its tooltip too.
    if (event->type() == QEvent::ToolTip && hostsControl()) {
        showHoverTip(this, static_cast<QHelpEvent *>(event)->globalPos(), m_control->hoverText());
        return true;
    }
    return QWidget::event(event);
}

void PreviewWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu takes the mouse release, so the press must not leave a drag behind.
    m_dragging = false;
    m_moved = false;
    m_contextMenu->popup(event->globalPos());
}

void PreviewWindow::hideHighlightOutside()
{
    // In the main window the control watches the mouse itself.
    if (!hostsControl() || frameGeometry().contains(QCursor::pos()))
        return;
    if (m_preview) {
        m_preview->setHighlightHidden(true);
        m_preview->Render();
    }
    m_hoverWatch.stop();
}

void PreviewWindow::hideForOldInterface()
{
    // Started with the program: the old interface, chosen while it started, hides this window
    // once the event loop has shown it.
    if (m_oldInterface)
        hide();
    m_startupHide.stop();
}

QString PreviewWindow::saveScreenshot(const QString &path)
{
    if (!m_preview)
        return QStringLiteral("There is no screen to save");
    // Blinking nicks are saved lit, whatever the phase at the moment of the click.
    m_preview->stopBlinking();
    m_preview->setOption(&PreviewState::blinkPhase, true);
    const auto written = writeFileAtomically(path, encodeBmp24(m_preview->picture()));
    m_preview->startBlinking();
    return written ? QString() : written.error().message;
}

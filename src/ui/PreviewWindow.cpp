#include "ui/PreviewWindow.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"
#include "preview/PhonePreview.h"
#include "ui/PreviewControl.h"
#include "ui/ProgramIcon.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QGuiApplication>
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

PreviewWindow::PreviewWindow(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    setWindowIcon(programIcon());
    setMouseTracking(true);
    resize(240, 320);
    m_control = new PreviewControl(this);
    buildPopupMenu();
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &PreviewWindow::Timer1Timer);
    Timer2.setInterval(100);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, &PreviewWindow::Timer2Timer);
    Timer2.start();
}

void PreviewWindow::buildVisionMenu(QMenu *menu)
{
    VisionMenu = menu->addMenu(QStringLiteral("Цветовое зрение"));
    auto *group = new QActionGroup(this);
    const std::pair<const char16_t *, ColourVision> kinds[] = {
        {u"Обычное", ColourVision::Normal},
        {u"Протанопия", ColourVision::Protanopia},
        {u"Дейтеранопия", ColourVision::Deuteranopia},
        {u"Тританопия", ColourVision::Tritanopia},
        {u"Монохромное", ColourVision::Achromatopsia},
    };
    for (const auto &[caption, vision] : kinds) {
        QAction *item = addToggle(VisionMenu, QString::fromUtf16(caption));
        group->addAction(item);
        VisionItems.append(item);
        connect(item, &QAction::triggered, this,
                [this, vision] { m_control->setColourVision(vision); });
    }
    VisionItems.first()->setChecked(true);
}

void PreviewWindow::addHistoryItems(const QList<QAction *> &items)
{
    const QList<QAction *> menuItems = PopupMenu1->actions();
    // Right after "Сохранить", with a line of their own below.
    QAction *before = menuItems.value(menuItems.indexOf(skinmif1) + 1);
    PopupMenu1->insertActions(before, items);
    addActions(items);
}

void PreviewWindow::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    QMenu *m = PopupMenu1;
    N40 = addItem(m, QStringLiteral("Открыть"), true, QKeySequence(Qt::CTRL | Qt::Key_O));
    skinmif1 = addItem(m, QStringLiteral("Сохранить"), true, QKeySequence(Qt::CTRL | Qt::Key_S));
    m->addSeparator();
    N9 = m->addMenu(QStringLiteral("Контакт лист"));
    N4 = addItem(N9, QStringLiteral("Показать контакт-лист"), true, QKeySequence(Qt::Key_F1));
    N9->addSeparator();
    N20 = addToggle(N9, QStringLiteral("Показать группы"));
    N21 = addToggle(N9, QStringLiteral("Показать отключившихся"));
    N32 = addToggle(N9, QStringLiteral("Показывать иконки клиентов"));
    N28 = addToggle(N9, QStringLiteral("Маленькие часы"));
    N9->addSeparator();
    QMenu *N22 = N9->addMenu(QStringLiteral("Сортировка"));
    N25 = addToggle(N22, QStringLiteral("по имени"));
    N24 = addToggle(N22, QStringLiteral("по статусу"));
    QMenu *N26 = N9->addMenu(QStringLiteral("Число колонок"));
    auto *columns = new QActionGroup(this);
    N110 = addToggle(N26, QStringLiteral("1"));
    N27 = addToggle(N26, QStringLiteral("2"));
    N31 = addToggle(N26, QStringLiteral("3"));
    N41 = addToggle(N26, QStringLiteral("4"));
    N51 = addToggle(N26, QStringLiteral("5"));
    for (QAction *item : columnItems())
        columns->addAction(item);
    // Only the simplified mode shows the contact list at the top level.
    N45 = addItem(m, QStringLiteral("Контакт лист"));
    N45->setShortcutContext(Qt::WindowShortcut);
    N45->setVisible(false);
    N10 = addItem(m, QStringLiteral("Окно сообщений"), true, QKeySequence(Qt::Key_F2));
    N11 = addItem(m, QStringLiteral("Окно настроек"), true, QKeySequence(Qt::Key_F3));
    m->addSeparator();
    N5 = m->addMenu(QStringLiteral("Меню"));
    N44 = addToggle(N5, QStringLiteral("показать"));
    N5->addSeparator();
    N38 = addToggle(N5, QStringLiteral("левое"));
    N39 = addToggle(N5, QStringLiteral("правое"));
    N33 = addToggle(m, QStringLiteral("Показать всплывающее окно"));
    N12 = m->addMenu(QStringLiteral("Показать уведомляющие окна"));
    N36 = addToggle(N12, QStringLiteral("показывать"));
    N12->addSeparator();
    N34 = addToggle(N12, QStringLiteral("слева"));
    N35 = addToggle(N12, QStringLiteral("справа"));
    buildVisionMenu(m);
    N2 = m->addSeparator();
    QMenu *N15 = m->addMenu(QStringLiteral("Импортировать"));
    N14 = addItem(N15, QStringLiteral("цветовую схему"));
    N8 = addItem(N15, QStringLiteral("фоновый рисунок"), false);
    N13 = addItem(N15, QStringLiteral("курсор"), false);
    PaletteImport = addItem(N15, QStringLiteral("палитру…"));
    QMenu *N16 = m->addMenu(QStringLiteral("Экспортировать"));
    mif1 = addItem(N16, QStringLiteral("*.mif"));
    skin1 = addItem(N16, QStringLiteral("*.skin"));
    N17 = N16->addSeparator();
    N48 = addItem(N16, QStringLiteral("Фон"));
    N47 = addItem(N16, QStringLiteral("Курсор"));
    PaletteExport = addItem(N16, QStringLiteral("палитру…"));
    N16->addSeparator();
    N1 = addItem(N16, QStringLiteral("Скриншот экрана"));
    AllScreens = addItem(N16, QStringLiteral("Все экраны…"));
    m->addSeparator();
    N46 = addItem(m, QStringLiteral("Переключиться в \"упрощённый режим\""));
    N6 = addItem(m, QStringLiteral("Настройки"));
    QMenu *N29 = m->addMenu(QStringLiteral("Помощь"));
    N52 = addItem(N29, QStringLiteral("Помощь"), false);
    N50 = addItem(N29, QStringLiteral("О программе"), false);
    m->addSeparator();
    N7 = addItem(m, QStringLiteral("Выход"));
    // Shortcuts only fire for actions the window itself carries.
    addActions({N40, skinmif1, N4, N45, N10, N11});

    connect(N4, &QAction::triggered, this,
            [this] { showScreen(PreviewScreen::ContactListPicked); });
    connect(N45, &QAction::triggered, this,
            [this] { showScreen(PreviewScreen::ContactListPicked); });
    connect(N10, &QAction::triggered, this, [this] { showScreen(PreviewScreen::Chat); });
    connect(N11, &QAction::triggered, this, [this] { showScreen(PreviewScreen::Settings); });
    connect(N1, &QAction::triggered, this, &PreviewWindow::screenshotRequested);
    connect(AllScreens, &QAction::triggered, this, &PreviewWindow::allScreensRequested);
    // The option items act on the main window's options, which set their check marks.
}

QList<QAction *> PreviewWindow::columnItems() const
{
    return {N110, N27, N31, N41, N51};
}

void PreviewWindow::setExpertMenus(bool expert)
{
    N9->menuAction()->setVisible(expert);
    N45->setVisible(!expert);
    // F1 belongs to whichever contact-list item the mode shows: two actions of the window
    // holding one key would make Qt give the key to neither.
    N4->setShortcut(expert ? QKeySequence(Qt::Key_F1) : QKeySequence());
    N45->setShortcut(expert ? QKeySequence() : QKeySequence(Qt::Key_F1));
    for (QAction *item : {N5->menuAction(), N33, N12->menuAction(), N2, mif1, skin1, N17})
        item->setVisible(expert);
    N46->setText(expert ? QStringLiteral("Переключиться в \"упрощённый режим\"")
                        : QStringLiteral("Переключиться в \"режим эксперта\""));
}

void PreviewWindow::setOldInterface(bool on)
{
    m_oldInterface = on;
    N46->setVisible(!on);
    if (on) {
        Timer1.stop();
        hide();
    }
}

void PreviewWindow::columnscheck()
{
    if (!m_preview)
        return;
    m_preview->setColumns(ColumnCountSource ? ColumnCountSource() : m_preview->Columns());
    const QList<QAction *> items = columnItems();
    for (int n = 1; n <= int(items.size()); ++n)
        items[n - 1]->setChecked(m_preview->Columns() == n);
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
    columnscheck();
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
    Timer1.start();
}

void PreviewWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_moved && event->button() == Qt::LeftButton && hostsControl()) {
        if (const int slot = m_control->clickAt(onControl(event->position())); slot >= 0)
            emit slotClicked(slot, event->globalPosition().toPoint());
    }
    m_dragging = false;
    m_moved = false;
}

void PreviewWindow::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu takes the mouse release, so the press must not leave a drag behind.
    m_dragging = false;
    m_moved = false;
    PopupMenu1->popup(event->globalPos());
}

void PreviewWindow::Timer1Timer()
{
    // In the main window the control watches the mouse itself.
    if (!hostsControl() || frameGeometry().contains(QCursor::pos()))
        return;
    if (m_preview) {
        m_preview->setHighlightHidden(true);
        m_preview->Render();
    }
    Timer1.stop();
}

void PreviewWindow::Timer2Timer()
{
    // Started with the program: the old interface, chosen while it started, hides this window
    // once the event loop has shown it.
    if (m_oldInterface)
        hide();
    Timer2.stop();
}

QString PreviewWindow::saveScreenshot(const QString &path)
{
    if (!m_preview)
        return QStringLiteral("There is no screen to save");
    // Blinking nicks are saved lit, whatever the phase at the moment of the click.
    m_preview->stopBlinking();
    m_preview->setBlinkPhase(true);
    const auto written = writeFileAtomically(path, encodeBmp24(m_preview->picture()));
    m_preview->startBlinking();
    return written ? QString() : written.error().message;
}

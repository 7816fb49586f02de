#include "ui/Unit3.h"

#include "containers/PictureCodecs.h"
#include "platform/FileOps.h"
#include "preview/mainTolvoPreview.h"
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

TForm3::TForm3(QWidget *parent)
    : QWidget(parent, Qt::FramelessWindowHint)
{
    setWindowTitle(QStringLiteral("Velmora for TolvoICQ"));
    setWindowIcon(programIcon());
    setMouseTracking(true);
    resize(240, 320);
    buildPopupMenu();
    Timer1.setInterval(100);
    connect(&Timer1, &QTimer::timeout, this, &TForm3::Timer1Timer);
    Timer2.setInterval(100);
    Timer2.setSingleShot(true);
    connect(&Timer2, &QTimer::timeout, this, &TForm3::Timer2Timer);
    Timer2.start();
}

void TForm3::buildPopupMenu()
{
    PopupMenu1 = new QMenu(this);
    QMenu *m = PopupMenu1;
    N40 = addItem(m, QStringLiteral("Открыть"), true, QKeySequence(Qt::CTRL | Qt::Key_O));
    skinmif1 = addItem(m, QStringLiteral("Сохранить"), true, QKeySequence(Qt::CTRL | Qt::Key_S));
    m->addSeparator();
    QMenu *N9 = m->addMenu(QStringLiteral("Контакт лист"));
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
    const QList<QAction *> columnItems = {N110, N27, N31, N41, N51};
    for (int n = 1; n <= 5; ++n) {
        columns->addAction(columnItems[n - 1]);
        connect(columnItems[n - 1], &QAction::triggered, this, [this, n] {
            emit columnsChosen(n);
            columnscheck();
        });
    }
    // Only the simplified mode shows the contact list at the top level.
    N45 = addItem(m, QStringLiteral("Контакт лист"), true, QKeySequence(Qt::Key_F1));
    N45->setVisible(false);
    N10 = addItem(m, QStringLiteral("Окно сообщений"), true, QKeySequence(Qt::Key_F2));
    N11 = addItem(m, QStringLiteral("Окно настроек"), true, QKeySequence(Qt::Key_F3));
    m->addSeparator();
    QMenu *N5 = m->addMenu(QStringLiteral("Меню"));
    N44 = addToggle(N5, QStringLiteral("показать"));
    N5->addSeparator();
    N38 = addToggle(N5, QStringLiteral("левое"));
    N39 = addToggle(N5, QStringLiteral("правое"));
    N33 = addToggle(m, QStringLiteral("Показать всплывающее окно"));
    QMenu *N12 = m->addMenu(QStringLiteral("Показать уведомляющие окна"));
    N36 = addToggle(N12, QStringLiteral("показывать"));
    N12->addSeparator();
    N34 = addToggle(N12, QStringLiteral("слева"));
    N35 = addToggle(N12, QStringLiteral("справа"));
    m->addSeparator();
    QMenu *N15 = m->addMenu(QStringLiteral("Импортировать"));
    N14 = addItem(N15, QStringLiteral("цветовую схему"));
    N8 = addItem(N15, QStringLiteral("фоновый рисунок"), false);
    N13 = addItem(N15, QStringLiteral("курсор"), false);
    QMenu *N16 = m->addMenu(QStringLiteral("Экспортировать"));
    mif1 = addItem(N16, QStringLiteral("*.mif"));
    skin1 = addItem(N16, QStringLiteral("*.skin"));
    N16->addSeparator();
    N48 = addItem(N16, QStringLiteral("Фон"));
    N47 = addItem(N16, QStringLiteral("Курсор"));
    N16->addSeparator();
    N1 = addItem(N16, QStringLiteral("Скриншот экрана"));
    m->addSeparator();
    N46 = addItem(m, QStringLiteral("Переключиться в \"упрощённый режим\""), false);
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
    // The pop-up is an option of the main window: picking a slot shows it as the option says.
    connect(N33, &QAction::triggered, this, &TForm3::popupToggled);
    connect(N1, &QAction::triggered, this, &TForm3::screenshotRequested);
    using Setter = std::function<void(TTolvoPreview &, bool)>;
    // Toggles pass their new check state on; choices always set the same value.
    const auto bind = [this](QAction *item, Setter setter, std::optional<bool> value) {
        connect(item, &QAction::triggered, this, [this, setter, value](bool checked) {
            if (m_preview)
                setter(*m_preview, value.value_or(checked));
            updateChecks();
        });
    };
    bind(N20, &TTolvoPreview::setShowGroups, {});
    bind(N21, &TTolvoPreview::setShowOffline, {});
    bind(N32, &TTolvoPreview::setShowClients, {});
    bind(N28, &TTolvoPreview::setMiniClock, {});
    bind(N44, &TTolvoPreview::setShowMenu, {});
    bind(N36, &TTolvoPreview::setShowInfoWindows, {});
    bind(N25, &TTolvoPreview::setSortByStatus, false);
    bind(N24, &TTolvoPreview::setSortByStatus, true);
    bind(N38, &TTolvoPreview::setMenuLeft, true);
    bind(N39, &TTolvoPreview::setMenuLeft, false);
    bind(N34, &TTolvoPreview::setInfoWindowsLeft, true);
    bind(N35, &TTolvoPreview::setInfoWindowsLeft, false);
}

void TForm3::updateChecks()
{
    if (!m_preview)
        return;
    const TTolvoPreview &p = *m_preview;
    N20->setChecked(p.ShowGroups());
    N21->setChecked(p.ShowOffline());
    N32->setChecked(p.ShowClients());
    N28->setChecked(p.MiniClock());
    N25->setChecked(!p.SortByStatus());
    N24->setChecked(p.SortByStatus());
    N44->setChecked(p.ShowMenu());
    N38->setChecked(p.MenuLeft());
    N39->setChecked(!p.MenuLeft());
    N33->setChecked(p.ShowPopup());
    N36->setChecked(p.ShowInfoWindows());
    N34->setChecked(p.InfoWindowsLeft());
    N35->setChecked(!p.InfoWindowsLeft());
    const QList<QAction *> columnItems = {N110, N27, N31, N41, N51};
    for (int n = 1; n <= 5; ++n)
        columnItems[n - 1]->setChecked(p.Columns() == n);
}

void TForm3::columnscheck()
{
    if (!m_preview)
        return;
    m_preview->setColumns(ColumnCountSource ? ColumnCountSource() : m_preview->Columns());
    updateChecks();
}

void TForm3::showScreen(PreviewScreen screen)
{
    if (!m_preview)
        return;
    m_preview->regions().HoverSlot = 0;
    m_preview->setActiveScreen(screen);
}

void TForm3::setPreview(TTolvoPreview *preview)
{
    m_preview = preview;
    connect(preview, &TTolvoPreview::rendered, this, &TForm3::previewRendered);
    previewRendered();
    updateChecks();
}

QImage TForm3::shownScreen() const
{
    return m_preview ? m_preview->picture() : QImage();
}

QImage TForm3::shownWindow() const
{
    return m_frame ? framedScreen(shownScreen(), *m_frame) : shownScreen();
}

void TForm3::setFrame(const std::optional<PhoneFrame> &frame)
{
    m_frame = frame;
    // framedScreen draws in this format; converting once here keeps every paint from doing it.
    if (m_frame)
        m_frame->picture = m_frame->picture.convertToFormat(QImage::Format_ARGB32);
    previewRendered();
}

void TForm3::previewRendered()
{
    const QSize screen = !m_preview                      ? QSize()
                         : m_preview->picture().isNull() ? m_preview->screenSize()
                                                         : m_preview->picture().size();
    const QSize phone = m_frame ? m_frame->picture.size() : screen;
    if (phone.isEmpty())
        return;
    // Whole device pixels per phone pixel: 1 on ordinary screens, 2 on double-density ones.
    const qreal ratio = devicePixelRatioF();
    m_scale = qMax(1, int(std::floor(ratio)));
    const QSize logical(int(std::ceil(phone.width() * m_scale / ratio)),
                        int(std::ceil(phone.height() * m_scale / ratio)));
    if (logical != size())
        setFixedSize(logical);
    applyShape(m_frame ? m_frame->shape : screenShape(phone));
    update();
}

void TForm3::applyShape(const QRegion &shape)
{
    const qreal factor = m_scale / devicePixelRatioF();
    if (shape == m_shape && factor == m_shapeFactor)
        return;
    m_shape = shape;
    m_shapeFactor = factor;
    setMask(factor == 1 ? shape : QTransform::fromScale(factor, factor).map(shape));
}

QPoint TForm3::toPhone(const QPointF &windowPoint) const
{
    const qreal ratio = devicePixelRatioF();
    return QPoint(int(std::floor(windowPoint.x() * ratio / m_scale)),
                  int(std::floor(windowPoint.y() * ratio / m_scale))) -
           screenAt();
}

bool TForm3::overScreen(const QPoint &windowPoint) const
{
    return m_preview && m_preview->picture().rect().contains(toPhone(windowPoint));
}

void TForm3::paintEvent(QPaintEvent *)
{
    if (!m_preview || m_preview->picture().isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const qreal ratio = devicePixelRatioF();
    const auto draw = [&](QPoint phoneAt, const QImage &image) {
        QImage scaled = m_scale == 1 ? image
                                     : image.scaled(image.size() * m_scale, Qt::IgnoreAspectRatio,
                                                    Qt::FastTransformation);
        scaled.setDevicePixelRatio(ratio);
        painter.drawImage(QPointF(phoneAt) * m_scale / ratio, scaled);
    };
    // The window's mask already cuts away what lies outside the phone, so the phone and the
    // screen are drawn as they are, without composing the framed picture on every paint.
    if (m_frame)
        draw(QPoint(0, 0), m_frame->picture);
    draw(screenAt(), m_preview->picture());
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

QPoint TForm3::snapped(QPoint topLeft) const
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

void TForm3::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (m_dragging) {
        move(snapped(pos() + at - m_pressed));
        if (at != m_pressed)
            m_moved = true;
    } else if (m_preview && overScreen(at)) {
        const QPoint phone = toPhone(event->position());
        if (m_preview->hitTest(phone.x(), phone.y()))
            m_preview->Render();
    } else if (m_preview && !m_preview->HighlightHidden()) {
        // Over the phone body: every move there would otherwise redraw the same screen.
        m_preview->setHighlightHidden(true);
        m_preview->Render();
    }
    Timer1.start();
}

void TForm3::mouseReleaseEvent(QMouseEvent *event)
{
    const QPoint at = event->position().toPoint();
    if (!m_moved && event->button() == Qt::LeftButton && m_preview &&
        !m_preview->HighlightHidden() && m_preview->HoverSlot() != 0 && overScreen(at)) {
        const int slot = m_preview->HoverSlot() - 1;
        m_preview->setHighlightHidden(true);
        emit slotClicked(slot, event->globalPosition().toPoint());
    }
    m_dragging = false;
    m_moved = false;
}

void TForm3::contextMenuEvent(QContextMenuEvent *event)
{
    // The menu takes the mouse release, so the press must not leave a drag behind.
    m_dragging = false;
    m_moved = false;
    updateChecks();
    PopupMenu1->popup(event->globalPos());
}

void TForm3::Timer1Timer()
{
    if (!m_preview || frameGeometry().contains(QCursor::pos()))
        return;
    m_preview->setHighlightHidden(true);
    m_preview->Render();
    Timer1.stop();
}

void TForm3::Timer2Timer()
{
    // The old interface keeps the preview in the main window; this window then hides. That
    // interface comes with the options tab, so for now there is nothing to hide.
    Timer2.stop();
}

QString TForm3::saveScreenshot(const QString &path)
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

#include "ui/PreviewControl.h"

#include "core/ColourScheme.h"
#include "preview/PhonePreview.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QHelpEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QUrl>

#include <cmath>

PreviewControl::PreviewControl(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setOwnMouse(false);
    setAcceptDrops(true);
}

void PreviewControl::setPreview(PhonePreview *preview)
{
    m_preview = preview;
    fitToPicture();
}

QSize PreviewControl::logicalSize(QSize phonePixels) const
{
    const qreal ratio = devicePixelRatioF();
    return {int(std::ceil(phonePixels.width() * m_scale / ratio)),
            int(std::ceil(phonePixels.height() * m_scale / ratio))};
}

void PreviewControl::fitToPicture()
{
    // Whole device pixels per phone pixel: 1 on ordinary screens, 2 on double-density ones.
    m_scale = qMax(1, int(std::floor(devicePixelRatioF())));
    if (!m_preview)
        return;
    const QSize phone =
        m_preview->picture().isNull() ? m_preview->screenSize() : m_preview->picture().size();
    const QSize wanted = logicalSize(phone);
    if (wanted != size())
        setFixedSize(wanted);
    update();
}

QPoint PreviewControl::toPhone(const QPointF &point) const
{
    const qreal ratio = devicePixelRatioF();
    return {int(std::floor(point.x() * ratio / m_scale)),
            int(std::floor(point.y() * ratio / m_scale))};
}

bool PreviewControl::overScreen(const QPointF &point) const
{
    return m_preview && m_preview->picture().rect().contains(toPhone(point));
}

void PreviewControl::hoverAt(const QPointF &point)
{
    if (!m_preview)
        return;
    if (!overScreen(point)) {
        hideHighlight();
        return;
    }
    const QPoint phone = toPhone(point);
    if (m_preview->hitTest(phone.x(), phone.y()))
        m_preview->Render();
    noteHover();
}

QRect PreviewControl::elementOnScreen(const QPointF &point) const
{
    const QPoint global = mapToGlobal(point).toPoint();
    QRect element(global, QSize(1, 1));
    if (!m_preview || hoveredSlot() < 0)
        return element;
    const TSelRects &regions = m_preview->regions();
    const QList<QRegion> &list = regions.regions(m_preview->HoverSlot());
    const QPoint phone = toPhone(point);
    for (const QRegion &region : list) {
        for (const QRect &piece : region) {
            if (piece.contains(phone)) {
                const QRect shown(piece.topLeft() * m_scale, piece.size() * m_scale);
                element = QRect(mapToGlobal(shown.topLeft()), shown.size());
            }
        }
    }
    return element;
}

int PreviewControl::hoveredSlot() const
{
    if (!m_preview || m_preview->HighlightHidden() || m_preview->HoverSlot() <= 0)
        return -1;
    return m_preview->HoverSlot() - 1;
}

QString PreviewControl::hoverText() const
{
    const int slot = hoveredSlot();
    if (slot < 0)
        return {};
    return QStringLiteral("%1 — %2").arg(slotCaption(slot),
                                         colorToHex(m_preview->document().slotColour(slot)));
}

void PreviewControl::noteHover()
{
    if (const int slot = hoveredSlot(); slot != m_shownHover) {
        m_shownHover = slot;
        emit hoverChanged(slot);
    }
}

QString PreviewControl::droppableFile(const QMimeData *data)
{
    static const QStringList kinds = {
        QStringLiteral("jpg"),  QStringLiteral("jpeg"), QStringLiteral("png"),
        QStringLiteral("bmp"),  QStringLiteral("skin"), QStringLiteral("sis"),
        QStringLiteral("sisx"), QStringLiteral("gpl"),  QStringLiteral("json")};
    if (!data || !data->hasUrls())
        return {};
    for (const QUrl &url : data->urls()) {
        const QString path = url.toLocalFile();
        if (!path.isEmpty() && kinds.contains(QFileInfo(path).suffix().toLower()))
            return path;
    }
    return {};
}

bool PreviewControl::takeDrop(const QMimeData *data, const QPointF &point)
{
    const QString path = droppableFile(data);
    if (path.isEmpty())
        return false;
    const QPoint phone = toPhone(point);
    const bool onCursor = m_preview && overScreen(point) &&
                          m_preview->regions().slotAt(phone) == Slot::CursorNick + 1;
    emit fileDropped(path, onCursor);
    return true;
}

void PreviewControl::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppableFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void PreviewControl::dropEvent(QDropEvent *event)
{
    if (takeDrop(event->mimeData(), event->position()))
        event->acceptProposedAction();
}

bool PreviewControl::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        showHoverTip(this, static_cast<QHelpEvent *>(event)->globalPos(), hoverText());
        return true;
    }
    return QWidget::event(event);
}

void showHoverTip(QWidget *over, const QPoint &globalPos, const QString &text)
{
    if (text.isEmpty())
        QToolTip::hideText();
    else
        QToolTip::showText(globalPos, text, over);
}

void PreviewControl::hideHighlight()
{
    // Every move off the screen would otherwise redraw the same picture.
    if (!m_preview || m_preview->HighlightHidden())
        return;
    m_preview->setHighlightHidden(true);
    m_preview->Render();
    noteHover();
}

int PreviewControl::clickAt(const QPointF &point)
{
    if (!m_preview || m_preview->HighlightHidden() || m_preview->HoverSlot() == 0 ||
        !overScreen(point))
        return -1;
    m_preview->setHighlightHidden(true);
    noteHover();
    return m_preview->HoverSlot() - 1;
}

void PreviewControl::setOwnMouse(bool own)
{
    m_ownMouse = own;
    // In the preview window a press anywhere starts a drag, so the window takes every event.
    setAttribute(Qt::WA_TransparentForMouseEvents, !own);
}

void PreviewControl::setColourVision(ColourVision vision)
{
    m_vision = vision;
    update();
}

QImage PreviewControl::shownPicture() const
{
    return m_preview ? simulateColourVision(m_preview->picture(), m_vision) : QImage();
}

void PreviewControl::paintEvent(QPaintEvent *)
{
    if (!m_preview || m_preview->picture().isNull())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    const QImage picture = shownPicture();
    QImage scaled = m_scale == 1 ? picture
                                 : picture.scaled(picture.size() * m_scale, Qt::IgnoreAspectRatio,
                                                  Qt::FastTransformation);
    scaled.setDevicePixelRatio(devicePixelRatioF());
    painter.drawImage(QPointF(0, 0), scaled);
}

void PreviewControl::mousePressEvent(QMouseEvent *event)
{
    // Nothing to drag in the main window: a press only prepares the click.
    event->accept();
}

void PreviewControl::mouseMoveEvent(QMouseEvent *event)
{
    hoverAt(event->position());
}

void PreviewControl::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const QRect element = elementOnScreen(event->position());
    if (const int slot = clickAt(event->position()); slot >= 0)
        emit slotClicked(slot, element);
}

void PreviewControl::leaveEvent(QEvent *event)
{
    // The main window has no timer watching the mouse: leaving the screen puts the highlight
    // away at once.
    if (m_ownMouse)
        hideHighlight();
    QWidget::leaveEvent(event);
}

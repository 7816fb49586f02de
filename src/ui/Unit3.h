#pragma once

#include "preview/PhoneFrame.h"

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <optional>

class QAction;
class QMenu;
class TTolvoPreview;
enum class PreviewScreen : int;

// The preview window: a borderless window showing the simulated phone screen, alone or inside
// the phone's picture, shaped to what it shows. It is moved by dragging it anywhere; pointing at an
// element highlights it and a click opens the colour window for its slot; everything else is in the
// context menu. Closing it ends the program.
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // The simulated screen this window shows; it follows every render.
    void setPreview(TTolvoPreview *preview);
    TTolvoPreview *preview() const { return m_preview; }
    // The simulated screen as drawn, without the phone around it.
    QImage shownScreen() const;
    // Everything the window shows, in phone pixels: the screen inside its phone picture, pixels
    // outside the window's shape transparent; without a phone, the screen alone.
    QImage shownWindow() const;

    // The phone picture around the screen (Image2), or none: the window then shows the screen
    // alone, shaped to its rectangle. With a frame the window takes the picture's size and shape.
    void setFrame(const std::optional<PhoneFrame> &frame);
    const std::optional<PhoneFrame> &frame() const { return m_frame; }
    // Where the screen's top-left pixel sits in the window, in phone pixels.
    QPoint screenAt() const { return m_frame ? m_frame->screenAt : QPoint(); }

    // Device pixels per phone pixel: a whole number, so the phone's pixels stay sharp.
    int pixelScale() const { return m_scale; }
    // A point of this window in phone-screen pixels (the phone body lies outside the screen).
    QPoint toPhone(const QPointF &windowPoint) const;

    // Set by "Выход" so that the close that follows does not count as closing the window.
    void setQuitting() { m_quitting = true; }

    // Saves the screen as a bitmap with the blinking nicks lit; returns the error text or "".
    QString saveScreenshot(const QString &path);

    QMenu *PopupMenu1 = nullptr;
    // Context menu items, named as the program's documents name them.
    QAction *N40 = nullptr, *skinmif1 = nullptr;
    QAction *N4 = nullptr, *N20 = nullptr, *N21 = nullptr, *N32 = nullptr, *N28 = nullptr;
    QAction *N25 = nullptr, *N24 = nullptr;
    QAction *N110 = nullptr, *N27 = nullptr, *N31 = nullptr, *N41 = nullptr, *N51 = nullptr;
    QAction *N45 = nullptr, *N10 = nullptr, *N11 = nullptr;
    QAction *N44 = nullptr, *N38 = nullptr, *N39 = nullptr;
    QAction *N33 = nullptr, *N36 = nullptr, *N34 = nullptr, *N35 = nullptr;
    QAction *N14 = nullptr, *N8 = nullptr, *N13 = nullptr;
    QAction *mif1 = nullptr, *skin1 = nullptr, *N48 = nullptr, *N47 = nullptr, *N1 = nullptr;
    QAction *N46 = nullptr, *N6 = nullptr, *N52 = nullptr, *N50 = nullptr, *N7 = nullptr;

    QTimer Timer1;
    QTimer Timer2;

    // Refreshes the check marks from the preview's state.
    void updateChecks();
    // Reads the column count from the main window's option and applies it.
    void columnscheck();
    // Where columnscheck reads the main window's column count.
    std::function<int()> ColumnCountSource;

signals:
    // The window was closed other than by "Выход": the program ends without saving.
    void closedByUser();
    // A click without movement on an element: open the colour window for its slot.
    void slotClicked(int slot, const QPoint &globalPos);
    // The column items set the main window's "Число колонок" option.
    void columnsChosen(int columns);
    // "Показать всплывающее окно" was toggled: the option it stands for is the main window's.
    void popupToggled(bool on);
    // "Скриншот экрана" was chosen (the main window runs the dialog for both menus).
    void screenshotRequested();

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void buildPopupMenu();
    void previewRendered();
    void applyShape(const QRegion &shape);
    void showScreen(PreviewScreen screen);
    void Timer1Timer();
    void Timer2Timer();
    QPoint snapped(QPoint topLeft) const;
    bool overScreen(const QPoint &windowPoint) const;

    TTolvoPreview *m_preview = nullptr;
    std::optional<PhoneFrame> m_frame;
    // The shape last given to setMask, in phone pixels, with the scale it was given at: a render
    // (every hover) must not rebuild a phone-shaped mask of thousands of rectangles.
    QRegion m_shape;
    qreal m_shapeFactor = 0;
    int m_scale = 1;
    bool m_dragging = false;
    bool m_moved = false;
    QPoint m_pressed;
    bool m_quitting = false;
};

#pragma once

#include "preview/PhoneFrame.h"
#include "preview/PreviewOptions.h"

#include <QImage>
#include <QPoint>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <optional>

class CommandActions;
class PreviewControl;
class QAction;
class QMenu;
class PhonePreview;
enum class PreviewScreen : int;

// The preview window: a borderless window showing the simulated phone screen, alone or inside
// the phone's picture, shaped to what it shows. It is moved by dragging it anywhere; pointing at an
// element highlights it and a click opens the colour window for its slot; everything else is in the
// context menu. Closing it ends the program. In the old interface the main window borrows the
// screen control and this window stays hidden.
class PreviewWindow : public QWidget
{
    Q_OBJECT
public:
    // commands are the file and help items, shared with the main menu.
    explicit PreviewWindow(const CommandActions &commands, QWidget *parent = nullptr);

    // The simulated screen this window shows; it follows every render.
    void setPreview(PhonePreview *preview);
    PhonePreview *preview() const { return m_preview; }
    // The simulated screen as drawn, without the phone around it.
    QImage shownScreen() const;
    // Everything the window shows, in phone pixels: the screen inside its phone picture, pixels
    // outside the window's shape transparent; without a phone, the screen alone.
    QImage shownWindow() const;

    // The phone picture around the screen, or none: the window then shows the screen
    // alone, shaped to its rectangle. With a frame the window takes the picture's size and shape.
    void setFrame(const std::optional<PhoneFrame> &frame);
    const std::optional<PhoneFrame> &frame() const { return m_frame; }
    // Where the screen's top-left pixel sits in the window, in phone pixels.
    QPoint screenAt() const { return m_frame ? m_frame->screenAt : QPoint(); }

    // Device pixels per phone pixel: a whole number, so the phone's pixels stay sharp.
    int pixelScale() const;
    // A point of this window in phone-screen pixels (the phone body lies outside the screen).
    QPoint toPhone(const QPointF &windowPoint) const;

    // The screen control. It is this window's child unless the old interface has lent it to the
    // main window.
    PreviewControl *previewControl() const { return m_control; }
    bool hostsControl() const;
    // Takes the control back, places it in the phone and sizes the window around it.
    void hostControl();
    // The old interface: the window hides (at once, or by a timer while the program
    // starts) and its menu loses the mode item, which that interface locks.
    void setOldInterface(bool on);
    bool oldInterface() const { return m_oldInterface; }
    // Shows the menu items of the expert or of the simplified mode.
    void setExpertMenus(bool expert);

    // Set by "Выход" so that the close that follows does not count as closing the window.
    void setQuitting() { m_quitting = true; }

    // Puts the history items after "Сохранить", their shortcuts working in this window too.
    void addHistoryItems(const QList<QAction *> &items);
    // Puts "Недавние" after "Открыть".
    void addRecentMenu(QMenu *recent);

    // Saves the screen as a bitmap with the blinking nicks lit; returns the error text or "".
    QString saveScreenshot(const QString &path);

    QMenu *contextMenu() const { return m_contextMenu; }
    // The context menu's items.
    QAction *showContactListAction() const { return m_showContactListAction; }
    // The items of the on/off options (kPreviewToggles), and for a side its other side's.
    QAction *toggleAction(Toggle id) const { return m_toggleActions[std::size_t(id)]; }
    QAction *otherSideAction(Toggle id) const { return m_otherSideActions[std::size_t(id)]; }
    QAction *sortByNameAction() const { return m_sortByNameAction; }
    QAction *sortByStatusAction() const { return m_sortByStatusAction; }
    QAction *oneColumnAction() const { return m_oneColumnAction; }
    QAction *twoColumnsAction() const { return m_twoColumnsAction; }
    QAction *threeColumnsAction() const { return m_threeColumnsAction; }
    QAction *fourColumnsAction() const { return m_fourColumnsAction; }
    QAction *fiveColumnsAction() const { return m_fiveColumnsAction; }
    QAction *contactListAction() const { return m_contactListAction; }
    QAction *chatAction() const { return m_chatAction; }
    QAction *settingsScreenAction() const { return m_settingsScreenAction; }
    QAction *simplifiedModeAction() const { return m_simplifiedModeAction; }
    QAction *settingsAction() const { return m_settingsAction; }
    // The submenus "Контакт лист", "Меню" and "Показать уведомляющие окна", and the separators
    // the simplified mode hides with the items around them.
    QMenu *contactListMenu() const { return m_contactListMenu; }
    QMenu *phoneMenusMenu() const { return m_phoneMenusMenu; }
    QMenu *notificationsMenu() const { return m_notificationsMenu; }
    QAction *importSeparator() const { return m_importSeparator; }
    QAction *exportSeparator() const { return m_exportSeparator; }
    // "Цветовое зрение": the screen as seen with full colour vision ("Обычное"), protanopia,
    // deuteranopia, tritanopia or none ("Монохромное"), in that order. A display filter only.
    QMenu *visionMenu() const { return m_visionMenu; }
    const QList<QAction *> &visionItems() const { return m_visionItems; }
    // The five column items, "1" to "5".
    QList<QAction *> columnItems() const;

    // Reads the column count from the main window's option, applies it and checks its item.
    void checkColumnItem();
    // Where columnscheck reads the main window's column count.
    std::function<int()> columnCountSource;

signals:
    // The window was closed other than by "Выход": the program ends without saving.
    void closedByUser();
    // A click without movement on an element: open the colour window for its slot.
    void slotClicked(int slot, const QRect &element);

protected:
    void closeEvent(QCloseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void contextMenuEvent(QContextMenuEvent *event) override;
    bool event(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    QList<QAction *> m_visionItems;
    // Puts the highlight away once the mouse has left the window, and hides the window of the
    // old interface once start-up has shown it.
    QTimer m_hoverWatch;
    QTimer m_startupHide;
    QMenu *m_contextMenu = nullptr;
    QAction *m_showContactListAction = nullptr;
    QAction *m_sortByNameAction = nullptr;
    QAction *m_sortByStatusAction = nullptr;
    QAction *m_oneColumnAction = nullptr;
    QAction *m_twoColumnsAction = nullptr;
    QAction *m_threeColumnsAction = nullptr;
    QAction *m_fourColumnsAction = nullptr;
    QAction *m_fiveColumnsAction = nullptr;
    QAction *m_contactListAction = nullptr;
    QAction *m_chatAction = nullptr;
    QAction *m_settingsScreenAction = nullptr;
    QAction *m_simplifiedModeAction = nullptr;
    QAction *m_settingsAction = nullptr;
    QMenu *m_contactListMenu = nullptr;
    QMenu *m_phoneMenusMenu = nullptr;
    QMenu *m_notificationsMenu = nullptr;
    QAction *m_importSeparator = nullptr;
    QAction *m_exportSeparator = nullptr;
    QMenu *m_visionMenu = nullptr;
    void buildPopupMenu();
    void addToggleItems(QMenu *menu, Toggle id);
    void buildVisionMenu(QMenu *menu);
    void previewRendered();
    void applyShape(const QRegion &shape);
    void showScreen(PreviewScreen screen);
    void hideHighlightOutside();
    void hideForOldInterface();
    QPoint snapped(QPoint topLeft) const;
    QPointF onControl(const QPointF &windowPoint) const;

    const CommandActions &m_commands;
    std::array<QAction *, kToggleCount> m_toggleActions{};
    std::array<QAction *, kToggleCount> m_otherSideActions{};
    PhonePreview *m_preview = nullptr;
    PreviewControl *m_control = nullptr;
    std::optional<PhoneFrame> m_frame;
    // The shape last given to setMask, in phone pixels, with the scale it was given at: a render
    // (every hover) must not rebuild a phone-shaped mask of thousands of rectangles.
    QRegion m_shape;
    qreal m_shapeFactor = 0;
    bool m_oldInterface = false;
    bool m_dragging = false;
    bool m_moved = false;
    QPoint m_pressed;
    bool m_quitting = false;
};

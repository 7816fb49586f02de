#pragma once

#include <QImage>
#include <QPoint>
#include <QWidget>

class QAction;
class QMenu;
class TTolvoPreview;

// The preview window: a borderless window showing only the simulated phone screen. Everything
// else is reached through its context menu. Closing it ends the program.
class TForm3 : public QWidget
{
    Q_OBJECT
public:
    explicit TForm3(QWidget *parent = nullptr);

    // The simulated screen this window shows; it follows every render.
    void setPreview(TTolvoPreview *preview);
    TTolvoPreview *preview() const { return m_preview; }
    QImage shownScreen() const;
    QMenu *PopupMenu1 = nullptr;

    // Context menu items, named as the program's documents name them; the main window connects
    // the ones that run its commands.
    QAction *N40 = nullptr;      // Открыть
    QAction *skinmif1 = nullptr; // Сохранить
    QAction *N4 = nullptr;       // Показать контакт-лист
    QAction *N10 = nullptr;      // Окно сообщений
    QAction *N11 = nullptr;      // Окно настроек
    QAction *N14 = nullptr;      // Импортировать / цветовую схему
    QAction *N8 = nullptr;       // Импортировать / фоновый рисунок
    QAction *N13 = nullptr;      // Импортировать / курсор
    QAction *N6 = nullptr;       // Настройки
    QAction *N7 = nullptr;       // Выход

    // Set by "Выход" so that the close that follows does not count as closing the window.
    void setQuitting() { m_quitting = true; }

signals:
    // The window was closed other than by "Выход": the program ends without saving.
    void closedByUser();

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

    TTolvoPreview *m_preview = nullptr;
    bool m_dragging = false;
    bool m_moved = false;
    QPoint m_pressed;
    bool m_quitting = false;
};

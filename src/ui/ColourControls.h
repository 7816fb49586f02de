#pragma once

#include "core/ColourScheme.h"

#include <QTimer>
#include <QWidget>

#include <array>

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The colour editor both the main window and the colour window carry: swatch, three sliders,
// three hex fields and "Сброс цвета". Slider moves are batched by a 50 ms timer; the owner
// decides what a tick, a swatch click and the reset button do.
class ColourControls : public QWidget
{
    Q_OBJECT
public:
    explicit ColourControls(QWidget *parent = nullptr);

    // Paints the swatch and moves the sliders (which rewrite the hex fields and arm the timer
    // when they change).
    void showColour(TColor colour);
    TColor sliderColour() const;
    void setHexTexts(TColor colour);

    QLabel *swatch() const { return m_swatch; }
    // Red, green and blue.
    QSlider *slider(int channel) const { return m_sliders[std::size_t(channel)]; }
    QLineEdit *hexEdit(int channel) const { return m_hexEdits[std::size_t(channel)]; }
    QPushButton *resetButton() const { return m_resetButton; }
    // The whole colour as "#RRGGBB": shows the colour, takes a typed or pasted one.
    QLineEdit *colourEdit() const { return m_colourEdit; }
    // The text last entered there was no colour; it stays marked until it is edited.
    bool colourEntryInvalid() const { return m_colourInvalid; }
    // Running while slider moves wait to be applied.
    bool applyPending() const { return m_sliderTimer.isActive(); }

signals:
    // The timer fired after slider changes: apply sliderColour().
    void timerTick();
    void swatchClicked();
    // A colour was entered in the "#RRGGBB" field (Enter or leaving it) that differs from the
    // one shown: apply it as one change.
    void colourTyped(TColor colour);
    void resetClicked();
    // A slider is held down, and let go: everything in between is one change of the colour.
    // The last batched move is applied before dragFinished.
    void dragStarted();
    void dragFinished();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void colourEntered();
    void markColourEntry(bool invalid);

    QLineEdit *m_colourEdit = nullptr;
    bool m_colourInvalid = false;
    std::array<QSlider *, 3> m_sliders{};
    std::array<QLineEdit *, 3> m_hexEdits{};
    QTimer m_sliderTimer;
    QLabel *m_swatch = nullptr;
    QPushButton *m_resetButton = nullptr;
    void TrackBarChange(int component, int value);
    void EditKeyDown(int component);
};

#include "ui/ColourControls.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>

ColourControls::ColourControls(QWidget *parent)
    : QWidget(parent)
{
    auto *grid = new QGridLayout(this);
    m_swatch = new QLabel(this);
    m_swatch->setFixedSize(50, 50);
    m_swatch->setCursor(Qt::PointingHandCursor);
    m_swatch->installEventFilter(this);
    grid->addWidget(m_swatch, 0, 0, 3, 1, Qt::AlignTop);
    const char16_t *names[] = {u"Red", u"Green", u"Blue"};
    const char16_t *letters[] = {u"R", u"G", u"B"};
    for (int c = 0; c < 3; ++c) {
        grid->addWidget(new QLabel(QString::fromUtf16(names[c]), this), c, 1);
        m_sliders[c] = new QSlider(Qt::Horizontal, this);
        m_sliders[c]->setRange(0, 255);
        m_sliders[c]->setMinimumWidth(160);
        grid->addWidget(m_sliders[c], c, 2);
        grid->addWidget(new QLabel(QString::fromUtf16(letters[c]), this), c, 3);
        m_hexEdits[c] = new QLineEdit(QStringLiteral("00"), this);
        m_hexEdits[c]->setMaxLength(2);
        m_hexEdits[c]->setFixedWidth(32);
        m_hexEdits[c]->installEventFilter(this);
        grid->addWidget(m_hexEdits[c], c, 4);
        connect(m_sliders[c], &QSlider::valueChanged, this,
                [this, c](int value) { TrackBarChange(c, value); });
        connect(m_sliders[c], &QSlider::sliderPressed, this, &ColourControls::dragStarted);
        connect(m_sliders[c], &QSlider::sliderReleased, this, [this] {
            if (m_sliderTimer.isActive()) {
                m_sliderTimer.stop();
                emit timerTick();
            }
            emit dragFinished();
        });
    }
    m_resetButton = new QPushButton(QStringLiteral("Сброс цвета"), this);
    grid->addWidget(m_resetButton, 3, 0, 1, 2, Qt::AlignLeft);
    m_colourEdit = new QLineEdit(this);
    m_colourEdit->setMaxLength(9);
    m_colourEdit->setFixedWidth(
        m_colourEdit->fontMetrics().horizontalAdvance(QStringLiteral("#WWWWWW")) + 16);
    m_colourEdit->setPlaceholderText(QStringLiteral("#RRGGBB"));
    m_colourEdit->setToolTip(QStringLiteral("#RRGGBB или #RGB"));
    grid->addWidget(m_colourEdit, 3, 2, 1, 3, Qt::AlignRight);
    connect(m_colourEdit, &QLineEdit::editingFinished, this, &ColourControls::colourEntered);
    connect(m_colourEdit, &QLineEdit::textEdited, this, [this] { markColourEntry(false); });
    connect(m_resetButton, &QPushButton::clicked, this, &ColourControls::resetClicked);
    m_sliderTimer.setInterval(50);
    m_sliderTimer.setSingleShot(false);
    connect(&m_sliderTimer, &QTimer::timeout, this, [this] {
        emit timerTick();
        m_sliderTimer.stop();
    });
    showColour(0);
}

void ColourControls::showColour(TColor colour)
{
    QPixmap picture(50, 50);
    picture.fill(palette().color(QPalette::Window));
    QPainter painter(&picture);
    painter.setPen(Qt::black);
    painter.setBrush(toQColor(colour));
    painter.drawRect(1, 1, 48, 48);
    painter.end();
    m_swatch->setPixmap(picture);
    m_sliders[0]->setValue(colorRed(colour));
    m_sliders[1]->setValue(colorGreen(colour));
    m_sliders[2]->setValue(colorBlue(colour));
}

TColor ColourControls::sliderColour() const
{
    return makeColor(m_sliders[0]->value(), m_sliders[1]->value(), m_sliders[2]->value());
}

void ColourControls::setHexTexts(TColor colour)
{
    m_hexEdits[0]->setText(hexText(colorRed(colour)));
    m_hexEdits[1]->setText(hexText(colorGreen(colour)));
    m_hexEdits[2]->setText(hexText(colorBlue(colour)));
    m_colourEdit->setText(colorToHex(colour));
    markColourEntry(false);
}

void ColourControls::colourEntered()
{
    const std::optional<TColor> colour = parseColourText(m_colourEdit->text());
    if (!colour) {
        markColourEntry(true);
        return;
    }
    markColourEntry(false);
    const bool changed = *colour != sliderColour();
    setHexTexts(*colour);
    if (changed)
        emit colourTyped(*colour);
}

void ColourControls::markColourEntry(bool invalid)
{
    if (invalid == m_colourInvalid)
        return;
    m_colourInvalid = invalid;
    QPalette marked = palette();
    if (invalid) {
        marked.setColor(QPalette::Base, QColor(255, 214, 214));
        marked.setColor(QPalette::Text, QColor(160, 0, 0));
    }
    m_colourEdit->setPalette(marked);
}

void ColourControls::TrackBarChange(int component, int value)
{
    m_hexEdits[component]->setText(hexText(value));
    m_colourEdit->setText(colorToHex(sliderColour()));
    markColourEntry(false);
    // A burst of moves is applied once, at most 50 ms after its first step.
    if (!m_sliderTimer.isActive())
        m_sliderTimer.start();
}

void ColourControls::EditKeyDown(int component)
{
    const QString text = m_hexEdits[component]->text();
    if (text.isEmpty())
        return;
    m_sliders[component]->setValue(parseHexComponent(text));
}

bool ColourControls::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_swatch && event->type() == QEvent::MouseButtonRelease) {
        emit swatchClicked();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        for (int c = 0; c < 3; ++c) {
            if (watched == m_hexEdits[c] &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                EditKeyDown(c);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

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
    swatch = new QLabel(this);
    swatch->setFixedSize(50, 50);
    swatch->setCursor(Qt::PointingHandCursor);
    swatch->installEventFilter(this);
    grid->addWidget(swatch, 0, 0, 3, 1, Qt::AlignTop);
    const char16_t *names[] = {u"Red", u"Green", u"Blue"};
    const char16_t *letters[] = {u"R", u"G", u"B"};
    for (int c = 0; c < 3; ++c) {
        grid->addWidget(new QLabel(QString::fromUtf16(names[c]), this), c, 1);
        sliders[c] = new QSlider(Qt::Horizontal, this);
        sliders[c]->setRange(0, 255);
        sliders[c]->setMinimumWidth(160);
        grid->addWidget(sliders[c], c, 2);
        grid->addWidget(new QLabel(QString::fromUtf16(letters[c]), this), c, 3);
        hexEdits[c] = new QLineEdit(QStringLiteral("00"), this);
        hexEdits[c]->setMaxLength(2);
        hexEdits[c]->setFixedWidth(32);
        hexEdits[c]->installEventFilter(this);
        grid->addWidget(hexEdits[c], c, 4);
        connect(sliders[c], &QSlider::valueChanged, this,
                [this, c](int value) { TrackBarChange(c, value); });
        connect(sliders[c], &QSlider::sliderPressed, this, &ColourControls::dragStarted);
        connect(sliders[c], &QSlider::sliderReleased, this, [this] {
            if (sliderTimer.isActive()) {
                sliderTimer.stop();
                emit timerTick();
            }
            emit dragFinished();
        });
    }
    resetButton = new QPushButton(QStringLiteral("Сброс цвета"), this);
    grid->addWidget(resetButton, 3, 0, 1, 5, Qt::AlignLeft);
    connect(resetButton, &QPushButton::clicked, this, &ColourControls::resetClicked);
    sliderTimer.setInterval(50);
    sliderTimer.setSingleShot(false);
    connect(&sliderTimer, &QTimer::timeout, this, [this] {
        emit timerTick();
        sliderTimer.stop();
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
    swatch->setPixmap(picture);
    sliders[0]->setValue(colorRed(colour));
    sliders[1]->setValue(colorGreen(colour));
    sliders[2]->setValue(colorBlue(colour));
}

TColor ColourControls::sliderColour() const
{
    return makeColor(sliders[0]->value(), sliders[1]->value(), sliders[2]->value());
}

void ColourControls::setHexTexts(TColor colour)
{
    hexEdits[0]->setText(hexText(colorRed(colour)));
    hexEdits[1]->setText(hexText(colorGreen(colour)));
    hexEdits[2]->setText(hexText(colorBlue(colour)));
}

void ColourControls::TrackBarChange(int component, int value)
{
    hexEdits[component]->setText(hexText(value));
    // A burst of moves is applied once, at most 50 ms after its first step.
    if (!sliderTimer.isActive())
        sliderTimer.start();
}

void ColourControls::EditKeyDown(int component)
{
    const QString text = hexEdits[component]->text();
    if (text.isEmpty())
        return;
    sliders[component]->setValue(parseHexComponent(text));
}

bool ColourControls::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == swatch && event->type() == QEvent::MouseButtonRelease) {
        emit swatchClicked();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        for (int c = 0; c < 3; ++c) {
            if (watched == hexEdits[c] &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                EditKeyDown(c);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

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
    Image1 = new QLabel(this);
    Image1->setFixedSize(50, 50);
    Image1->setCursor(Qt::PointingHandCursor);
    Image1->installEventFilter(this);
    grid->addWidget(Image1, 0, 0, 3, 1, Qt::AlignTop);
    const char16_t *names[] = {u"Red", u"Green", u"Blue"};
    const char16_t *letters[] = {u"R", u"G", u"B"};
    for (int c = 0; c < 3; ++c) {
        grid->addWidget(new QLabel(QString::fromUtf16(names[c]), this), c, 1);
        TrackBars[c] = new QSlider(Qt::Horizontal, this);
        TrackBars[c]->setRange(0, 255);
        TrackBars[c]->setMinimumWidth(160);
        grid->addWidget(TrackBars[c], c, 2);
        grid->addWidget(new QLabel(QString::fromUtf16(letters[c]), this), c, 3);
        Edits[c] = new QLineEdit(QStringLiteral("00"), this);
        Edits[c]->setMaxLength(2);
        Edits[c]->setFixedWidth(32);
        Edits[c]->installEventFilter(this);
        grid->addWidget(Edits[c], c, 4);
        connect(TrackBars[c], &QSlider::valueChanged, this,
                [this, c](int value) { TrackBarChange(c, value); });
        connect(TrackBars[c], &QSlider::sliderPressed, this, &ColourControls::dragStarted);
        connect(TrackBars[c], &QSlider::sliderReleased, this, [this] {
            if (Timer1.isActive()) {
                Timer1.stop();
                emit timerTick();
            }
            emit dragFinished();
        });
    }
    Button2 = new QPushButton(QStringLiteral("Сброс цвета"), this);
    grid->addWidget(Button2, 3, 0, 1, 5, Qt::AlignLeft);
    connect(Button2, &QPushButton::clicked, this, &ColourControls::resetClicked);
    Timer1.setInterval(50);
    Timer1.setSingleShot(false);
    connect(&Timer1, &QTimer::timeout, this, [this] {
        emit timerTick();
        Timer1.stop();
    });
    showColour(0);
}

void ColourControls::showColour(TColor colour)
{
    QPixmap swatch(50, 50);
    swatch.fill(palette().color(QPalette::Window));
    QPainter painter(&swatch);
    painter.setPen(Qt::black);
    painter.setBrush(toQColor(colour));
    painter.drawRect(1, 1, 48, 48);
    painter.end();
    Image1->setPixmap(swatch);
    TrackBars[0]->setValue(colorRed(colour));
    TrackBars[1]->setValue(colorGreen(colour));
    TrackBars[2]->setValue(colorBlue(colour));
}

TColor ColourControls::sliderColour() const
{
    return makeColor(TrackBars[0]->value(), TrackBars[1]->value(), TrackBars[2]->value());
}

void ColourControls::setHexTexts(TColor colour)
{
    Edits[0]->setText(hexText(colorRed(colour)));
    Edits[1]->setText(hexText(colorGreen(colour)));
    Edits[2]->setText(hexText(colorBlue(colour)));
}

void ColourControls::TrackBarChange(int component, int value)
{
    Edits[component]->setText(hexText(value));
    // A burst of moves is applied once, at most 50 ms after its first step.
    if (!Timer1.isActive())
        Timer1.start();
}

void ColourControls::EditKeyDown(int component)
{
    const QString text = Edits[component]->text();
    if (text.isEmpty())
        return;
    TrackBars[component]->setValue(parseHexComponent(text));
}

bool ColourControls::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == Image1 && event->type() == QEvent::MouseButtonRelease) {
        emit swatchClicked();
        return true;
    }
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        for (int c = 0; c < 3; ++c) {
            if (watched == Edits[c] &&
                (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
                EditKeyDown(c);
                return true;
            }
        }
    }
    return QWidget::eventFilter(watched, event);
}

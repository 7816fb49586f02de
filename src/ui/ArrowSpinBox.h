#pragma once

#include <QSpinBox>

// A number field whose value counts only when its arrows are used: typing changes the text but
// not the value the owner reads, until an arrow (or an arrow key or the wheel) steps it.
class ArrowSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

    void stepBy(int steps) override;

signals:
    // The arrows stepped the field; value() is the new position.
    void arrowClicked(int position);
};

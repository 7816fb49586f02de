#include "ui/ArrowSpinBox.h"

void ArrowSpinBox::stepBy(int steps)
{
    // The step starts from the typed text, as a spinner reading its field does.
    QSpinBox::stepBy(steps);
    emit arrowClicked(value());
}

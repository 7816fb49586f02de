#pragma once

#include "preview/PreviewState.h"
#include "preview/Render.h"

#include <QImage>
#include <QList>
#include <QRect>
#include <QString>

// How well text of a slot can be read over what is drawn behind it, by the WCAG 2.1 contrast
// ratio: 4.5 and above is fine for small text, below 3.0 it is lost on a phone in daylight.
enum class LegibilityGrade { Ok, Weak, Unreadable };

LegibilityGrade gradeOf(double contrast);
// "ok", "weak", "unreadable": the command line's and the JSON's words.
QString gradeName(LegibilityGrade grade);

// WCAG 2.1 contrast ratio of two colours, 1..21.
double contrastRatio(QRgb a, QRgb b);
// The contrast text of this colour keeps over the box of the canvas: the 10th percentile of
// the contrasts of its pixels, so that a bright patch behind a dark text counts even when the
// mean would hide it. box must lie inside the canvas and not be empty.
double boxContrast(const QImage &canvas, const QRect &box, QRgb text);

// The worst place of one slot's text over every named screen.
struct SlotLegibility
{
    int slot = 0;
    double contrast = 0;
    LegibilityGrade grade = LegibilityGrade::Ok;
    QString screen; // the namedScreens() name of the screen where it is worst
    QRect box;      // the worst text's box on that screen
    QImage crop;    // that place on the rendered screen with a margin, when asked for
};

// Renders base as every named screen (base's size, fonts and list options) and measures every
// text against the layers under it; one entry per slot that colours text, by slot number.
// context's pictures, when given, must be at base's screen size.
QList<SlotLegibility> auditLegibility(const SkinState &skin, const PreviewResources &resources,
                                      const PreviewState &base, bool withCrops = false,
                                      const RenderContext &context = {});

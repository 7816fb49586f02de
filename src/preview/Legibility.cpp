#include "preview/Legibility.h"

#include "core/ColourScheme.h"
#include "preview/ColourVision.h"
#include "preview/PhonePreview.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

float luminanceOf(QRgb colour)
{
    const auto &linear = linearFromSrgb();
    return 0.2126f * linear[qRed(colour)] + 0.7152f * linear[qGreen(colour)] +
           0.0722f * linear[qBlue(colour)];
}

float ratioOf(float a, float b)
{
    return a > b ? (a + 0.05f) / (b + 0.05f) : (b + 0.05f) / (a + 0.05f);
}

// Keeps each slot's worst text while the screens are rendered.
class AuditObserver : public RenderObserver
{
public:
    AuditObserver(const SkinDocument &document, std::array<SlotLegibility, kSlotCount> &worst)
        : m_document(document)
        , m_worst(worst)
    {}
    void startScreen(int screen)
    {
        m_screen = screen;
        m_changed.fill(false);
    }
    bool changedOnThisScreen(int slot) const { return m_changed[std::size_t(slot)]; }

    void layerStarted(RenderLayer) override {}
    void textAbout(int colourSlot, const QRect &box, const QImage &canvas) override
    {
        if (colourSlot < 0 || colourSlot >= kSlotCount)
            return;
        const QRgb text = toQColor(m_document.slotColour(colourSlot)).rgb();
        const double contrast = boxContrast(canvas, box, text);
        SlotLegibility &worst = m_worst[std::size_t(colourSlot)];
        if (!worst.screen.isEmpty() && worst.contrast <= contrast)
            return;
        worst.contrast = contrast;
        worst.screen = namedScreens()[m_screen].name;
        worst.box = box;
        m_changed[std::size_t(colourSlot)] = true;
    }

private:
    const SkinDocument &m_document;
    std::array<SlotLegibility, kSlotCount> &m_worst;
    std::array<bool, kSlotCount> m_changed{};
    int m_screen = 0;
};

QImage cropAround(const QImage &picture, const QRect &box)
{
    constexpr int kMargin = 6;
    return picture.copy(box.adjusted(-kMargin, -kMargin, kMargin, kMargin) & picture.rect());
}

} // namespace

LegibilityGrade gradeOf(double contrast)
{
    if (contrast >= 4.5)
        return LegibilityGrade::Ok;
    return contrast >= 3.0 ? LegibilityGrade::Weak : LegibilityGrade::Unreadable;
}

QString gradeName(LegibilityGrade grade)
{
    switch (grade) {
    case LegibilityGrade::Ok:
        return QStringLiteral("ok");
    case LegibilityGrade::Weak:
        return QStringLiteral("weak");
    case LegibilityGrade::Unreadable:
        break;
    }
    return QStringLiteral("unreadable");
}

double contrastRatio(QRgb a, QRgb b)
{
    return ratioOf(luminanceOf(a), luminanceOf(b));
}

double boxContrast(const QImage &canvas, const QRect &box, QRgb text)
{
    const float textLuminance = luminanceOf(text);
    // One buffer for every box of every render: the audit runs after each edit.
    thread_local std::vector<float> ratios;
    ratios.clear();
    ratios.reserve(std::size_t(box.width()) * std::size_t(box.height()));
    for (int y = box.top(); y <= box.bottom(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(canvas.constScanLine(y));
        for (int x = box.left(); x <= box.right(); ++x)
            ratios.push_back(ratioOf(luminanceOf(line[x]), textLuminance));
    }
    const auto tenth = ratios.begin() + std::ptrdiff_t((ratios.size() - 1) / 10);
    std::nth_element(ratios.begin(), tenth, ratios.end());
    return *tenth;
}

QList<SlotLegibility> auditLegibility(PhonePreview &preview, const PreviewState &base,
                                      bool withCrops)
{
    // Blinking nicks are measured lit; unlit they are ordinary nicks, measured anyway.
    PreviewState lit = base;
    lit.blinkPhase = true;
    std::array<SlotLegibility, kSlotCount> worst{};
    AuditObserver observer(preview.document(), worst);
    preview.setObserver(&observer);
    const bool wasBusy = preview.Busy;
    const QList<NamedScreen> &screens = namedScreens();
    for (int i = 0; i < screens.size(); ++i) {
        // The state is set without a render, then rendered once with the observer listening.
        preview.Busy = true;
        preview.setState(namedScreenState(lit, screens[i]));
        preview.Busy = false;
        observer.startScreen(i);
        preview.Render();
        if (!withCrops)
            continue;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (observer.changedOnThisScreen(slot))
                worst[std::size_t(slot)].crop = cropAround(preview.picture(), worst[slot].box);
        }
    }
    preview.Busy = wasBusy;
    preview.setObserver(nullptr);
    QList<SlotLegibility> graded;
    for (int slot = 0; slot < kSlotCount; ++slot) {
        SlotLegibility entry = worst[std::size_t(slot)];
        if (entry.screen.isEmpty())
            continue;
        entry.slot = slot;
        // Graded as shown, so that a printed 4.50 is never called weak.
        entry.contrast = std::round(entry.contrast * 100) / 100;
        entry.grade = gradeOf(entry.contrast);
        graded.append(entry);
    }
    return graded;
}

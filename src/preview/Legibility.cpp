#include "preview/Legibility.h"

#include "core/ColourScheme.h"
#include "preview/ColourVision.h"
#include "preview/Render.h"

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
    AuditObserver(const SkinState &skin, std::array<SlotLegibility, kSlotCount> &worst)
        : m_skin(skin)
        , m_worst(worst)
    {}
    void startScreen(int screen)
    {
        m_screen = screen;
        m_changed.fill(false);
    }
    bool changedOnThisScreen(int slot) const { return m_changed[std::size_t(slot)]; }

    void layerStarted(RenderLayer, const TSelRects &) override {}
    void textAbout(int colourSlot, const QRect &box, const QImage &canvas) override
    {
        if (colourSlot < 0 || colourSlot >= kSlotCount)
            return;
        const QRgb text = toQColor(m_skin.colours[std::size_t(colourSlot)]).rgb();
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
    const SkinState &m_skin;
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

QList<SlotLegibility> auditLegibility(const SkinState &skin, const PreviewResources &resources,
                                      const PreviewState &base, bool withCrops,
                                      const RenderContext &context)
{
    // Blinking nicks are measured lit; unlit they are ordinary nicks, measured anyway.
    PreviewState lit = base;
    lit.blinkPhase = true;
    std::array<SlotLegibility, kSlotCount> worst{};
    AuditObserver observer(skin, worst);
    // Every named screen keeps base's size: the pictures are scaled once for all of them.
    ShownPictures pictures;
    RenderContext shared = context;
    if (!shared.pictures) {
        pictures = shownPictures(skin.pictures, drawableState(base).screenSize);
        shared.pictures = &pictures;
    }
    const QList<NamedScreen> &screens = namedScreens();
    for (int i = 0; i < screens.size(); ++i) {
        observer.startScreen(i);
        const Frame frame =
            render(namedScreenState(lit, screens[i]), skin, resources, &observer, shared);
        if (!withCrops)
            continue;
        for (int slot = 0; slot < kSlotCount; ++slot) {
            if (observer.changedOnThisScreen(slot))
                worst[std::size_t(slot)].crop = cropAround(frame.picture, worst[slot].box);
        }
    }
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

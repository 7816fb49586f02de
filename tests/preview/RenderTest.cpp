// render() draws from its arguments alone: the same inputs give the same frame on any thread
// and with or without the window's cached pictures and shaped texts.
#include "preview/Render.h"
#include "PreviewFixture.h"
#include "preview/ContactList.h"
#include "preview/PhonePreview.h"

#include <array>
#include <random>
#include <thread>

namespace {

PreviewResources listResources()
{
    PreviewResources res = previewtest::iconResources();
    std::mt19937 random(11);
    res.loadedList = sampleContactList(random);
    return res;
}

SkinState colouredSkin()
{
    SkinState skin;
    for (int slot = 0; slot < kSlotCount; ++slot)
        skin.colours[std::size_t(slot)] = makeColor(20 + slot * 11, 230 - slot * 10, 60 + slot * 8);
    return skin;
}

bool sameFrame(const Frame &a, const Frame &b)
{
    if (a.picture != b.picture)
        return false;
    for (int slot = 1; slot <= TSelRects::kSlots; ++slot) {
        if (a.regions.regions(slot) != b.regions.regions(slot))
            return false;
    }
    return true;
}

} // namespace

TEST(Render, TheSameInputsDrawTheSameFrameOnEveryThread)
{
    const PreviewResources resources = listResources();
    const SkinState skin = colouredSkin();
    const PreviewState base = previewtest::listedState();
    for (const NamedScreen &screen : namedScreens()) {
        SCOPED_TRACE(screen.name.toStdString());
        const PreviewState state = namedScreenState(base, screen);
        const Frame first = render(state, skin, resources);
        TextShapes shapes;
        const ShownPictures pictures = shownPictures(skin.pictures, state.screenSize);
        const Frame cached = render(state, skin, resources, nullptr, {{12, 0}, &pictures, &shapes});
        EXPECT_TRUE(sameFrame(first, cached)) << "the caches changed what is drawn";
        std::array<Frame, 2> drawn;
        std::array<std::thread, 2> threads;
        for (std::size_t i = 0; i < threads.size(); ++i)
            threads[i] = std::thread([&, i] { drawn[i] = render(state, skin, resources); });
        for (std::thread &thread : threads)
            thread.join();
        for (const Frame &frame : drawn)
            EXPECT_TRUE(sameFrame(first, frame)) << "another thread drew another frame";
    }
}

TEST(Render, TheWindowsPreviewShowsWhatRenderDraws)
{
    SkinDocument document;
    const SkinState skin = colouredSkin();
    document.restore(skin);
    PhonePreview preview(listResources(), document);
    preview.stopBlinking();
    preview.setClock([] { return QTime(7, 45); });
    preview.setState(previewtest::listedState());
    const Frame frame =
        render(preview.state(), document.state(), preview.resources(), nullptr, {QTime(7, 45)});
    EXPECT_TRUE(preview.picture() == frame.picture);
    // A colour edit reaches the preview through the document, as one new frame.
    document.setSlotColour(Slot::ContactNick, makeColor(250, 10, 10));
    EXPECT_FALSE(preview.picture() == frame.picture);
    EXPECT_TRUE(preview.picture() == render(preview.state(), document.state(), preview.resources(),
                                            nullptr, {QTime(7, 45)})
                                         .picture);
}

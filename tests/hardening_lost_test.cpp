// Surfaces lost in the middle of the show, through the real WinMain. A loss met by a copy is
// restored with its notice, the scene (jumped to at the first frame) goes on for some hundred
// frames, then the show jumps to its last fade and still reaches its last scene and closes itself
// with exit code 0. A lost back buffer met first by a lock (the starfield, the copper bars) cannot
// be drawn into: that is the lock's fatal report, one box, exit code 0.
#include <gtest/gtest.h>

#include <string>

#include "qrx_host.h"
#include "qrx_host_display.h"
#include "shell/shell.h"
#include "shell/winmain.cpp"
#include "show/show.h"

namespace {

struct Loss {
    const char* name;
    uint16_t scene;      // lost on the tenth frame of this scene
    const char* surface; // a surface of the host, or "writer": the page's next copy finds it lost
    const char* fatal;   // the report, or null when the show goes on
};

constexpr int kFramesAfter = 300;
constexpr const char* kLockReport = "Cant Lock Surface\nLine : 222";

std::ostream& operator<<(std::ostream& os, const Loss& l) {
    return os << l.name;
}

class LostSurfaces : public ::testing::TestWithParam<Loss> {};

TEST_P(LostSurfaces, ShowGoesOnToTheEnd) {
    const Loss& loss = GetParam();
    int inScene = 0, lostAt = 0;
    uint16_t last = 0;
    qrxhost::OnFlip([&](int frame) {
        if (frame == 1) g_Scene = loss.scene; // the show starts at the scene under test
        inScene = g_Scene == last ? inScene + 1 : 1;
        last = g_Scene;
        if (g_Scene == loss.scene && inScene == 10 && !lostAt) {
            if (std::string(loss.surface) == "writer") // same size as the flip chain
                qrxhost::InjectFault("IDirectDrawSurface4::BltFast@640x480", DDERR_SURFACELOST);
            else
                qrxhost::LoseSurface(loss.surface);
            lostAt = frame;
        }
        // Some hundred frames later the show jumps to its last fade, which ends it.
        if (lostAt && frame == lostAt + kFramesAfter && g_Scene < 26) g_Scene = 26;
    });
    int peeks = 0;
    qrxhost::OnEmptyPeek([&] {
        if (++peeks > 60000) qrxhost::RequestClose(); // a show that does not end fails below
    });
    static char noCommandLine[] = "";
    EXPECT_EQ(WinMain(nullptr, nullptr, noCommandLine, SW_SHOWNORMAL), 0);
    EXPECT_NE(lostAt, 0);
    EXPECT_LE(peeks, 60000);
    EXPECT_EQ(qrxhost::LiveSurfaces(), 0);
    if (loss.fatal) {
        ASSERT_EQ(qrxhost::MessageBoxes().size(), 1u);
        EXPECT_EQ(qrxhost::MessageBoxes()[0].text, loss.fatal);
        EXPECT_EQ(qrxhost::Displayed().frame, lostAt) << "nothing flipped after the loss";
        return;
    }
    EXPECT_EQ(g_Scene, 27) << "the show reached its end";
    // Only notices: one per loss met by a copy, none fatal.
    // The strip serves only the scroller's scenes; every other surface is met again (the
    // strips, the page of the last scene).
    const bool met = std::string(loss.surface) != "705x33" || loss.scene == 3 || loss.scene == 6 ||
                     loss.scene == 9;
    EXPECT_GE(qrxhost::MessageBoxes().size(), met ? 1u : 0u);
    EXPECT_LE(qrxhost::MessageBoxes().size(), 2u);
    for (const qrxhost::MessageBoxRecord& b : qrxhost::MessageBoxes())
        EXPECT_EQ(b.text, "RestoreAll() called");
}

// Scene kinds: 1 stars, 2 zoomer, 3 flat scroller, 6 sine scroller, 9 copper and scroller,
// 18 writer over bobs, 23 border strips first, 24 copper and writer. The strip is 705x33.
#define QRX_LOSSES(kind, scene, chainLost)                                                         \
    Loss{kind "Primary", scene, "primary", chainLost},                                             \
        Loss{kind "Back", scene, "back", chainLost}, Loss{kind "Sheet", scene, "gfx", nullptr},    \
        Loss{kind "Strip", scene, "705x33", nullptr}, Loss {                                       \
        kind "Writer", scene, "writer", nullptr                                                    \
    }

INSTANTIATE_TEST_SUITE_P(
    Show, LostSurfaces,
    ::testing::Values(QRX_LOSSES("Stars", 1, kLockReport), QRX_LOSSES("Zoomer", 2, kLockReport),
                      QRX_LOSSES("Scroller", 3, kLockReport), QRX_LOSSES("Sine", 6, kLockReport),
                      QRX_LOSSES("Copper", 9, kLockReport),
                      QRX_LOSSES("WriterBobs", 18, kLockReport),
                      QRX_LOSSES("BorderFirst", 23, nullptr),
                      QRX_LOSSES("CopperWriter", 24, kLockReport)),
    [](const ::testing::TestParamInfo<Loss>& info) { return std::string(info.param.name); });

} // namespace

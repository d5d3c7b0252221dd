// The LV2 editor in a real X window, as hosts open it: the bundle's X11 UI
// instantiated from the binary by our UI host, with and without what a
// host may offer. Runs under tests/with_display.sh.
#include "lv2_test_support.h"
#include "lv2_ui_host.h"

#include <chrono>
#include <cstdlib>
#include <gtest/gtest.h>
#include <set>
#include <thread>

// After GoogleTest: Xlib's macros (None, Bool) break its headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr uint32_t kFirstControl = 4; // the control port of host parameter 0
constexpr int32_t kBlock = 256;

int xErrors = 0;
int countXError(Display* /*display*/, XErrorEvent* /*error*/) {
    ++xErrors;
    return 0;
}

// The test's one connection to the X server, kept for the whole run: an X
// server can refuse a connection made right after others closed.
Display* xDisplay() {
    static Display* const display = [] {
        XSetErrorHandler(countXError);
        return XOpenDisplay(nullptr);
    }();
    return display;
}

// The host's window for the UI, at the screen's origin (there is no window
// manager), following the sizes the UI asks for.
struct HostWindow {
    HostWindow() : display(xDisplay()) {
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 100, 100, 0, 0,
                                     0x303030);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow() {
        XDestroyWindow(display, window);
        XSync(display, False);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    Lv2UiHost::Options options(Lv2UiHost::Options o = {}) {
        o.onResize = [this](int w, int h) {
            XResizeWindow(display, window, static_cast<unsigned>(w), static_cast<unsigned>(h));
            XSync(display, False);
        };
        return o;
    }
    // The widget's size, if it is shown, and how many colours it shows
    // (one for a window nothing was drawn in).
    struct Look {
        int width = 0, height = 0;
        size_t colours = 0;
    };
    Look look(unsigned long widget) const {
        XWindowAttributes a{};
        if (!XGetWindowAttributes(display, widget, &a) || a.map_state != IsViewable) return {};
        Look l{a.width, a.height, 0};
        XImage* image = XGetImage(display, widget, 0, 0, static_cast<unsigned>(a.width),
                                  static_cast<unsigned>(a.height), AllPlanes, ZPixmap);
        if (!image) return l;
        std::set<unsigned long> seen;
        for (int y = 0; y < a.height; y += 3)
            for (int x = 0; x < a.width; x += 3) seen.insert(XGetPixel(image, x, y));
        XDestroyImage(image);
        l.colours = seen.size();
        return l;
    }

    Display* display;
    Window window = 0;
};

// About half a second of a host's UI thread.
void idleFor(Lv2UiHost& ui) {
    for (int k = 0; k < 15; ++k) {
        ui.idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
}

// The VST 2.4 build's editor size for the same parameters.
std::pair<int, int> vstEditorSize(float scale, bool arpOn = true) {
    auto vst = makeHost();
    vst->setParameter(param::kEditorScale, scale);
    vst->setParameter(param::kArpOn, arpOn ? 1.0f : 0.0f);
    int32_t width = 0, height = 0;
    vst->editorRect(width, height);
    return {width, height};
}

// An instance that has played past the guard after its activation, so that
// host writes reach the engine.
std::unique_ptr<Lv2Host> playingInstance() {
    auto host = std::make_unique<Lv2Host>(kBundlePath);
    host->run(16 * kBlock, kBlock);
    return host;
}

} // namespace

TEST(Lv2Ui, OpensAtTheVstEditorsSizeForTheHostsScaleFactorAndDraws) {
    ASSERT_NE(xDisplay(), nullptr) << "no X display";
    // One instance, its UI opened again and again: a factor of 2 asks for
    // 200 %, which then stays when a host gives 1.
    const struct {
        float scaleFactor; // 0: the host gives none
        float editorScale; // parameter 105 of the VST 2.4 editor of the same size
    } cases[] = {{0.0f, 0.0f}, {1.0f, 0.0f}, {2.0f, 0.5f}, {1.0f, 0.5f}};
    auto host = playingInstance();
    for (const auto& c : cases) {
        SCOPED_TRACE(&c - cases);
        HostWindow parent;
        Lv2UiHost::Options o;
        o.scaleFactor = c.scaleFactor;
        {
            Lv2UiHost ui(*host, parent.window, parent.options(o));
            ASSERT_TRUE(ui.loaded()) << ui.error();
            idleFor(ui);
            const auto size = vstEditorSize(c.editorScale);
            ASSERT_FALSE(ui.sizes.empty());
            EXPECT_EQ(ui.sizes.back(), size);
            const auto look = parent.look(ui.widget());
            EXPECT_EQ(std::make_pair(look.width, look.height), size);
            EXPECT_GT(look.colours, 50u) << "the editor is not drawn";
            EXPECT_TRUE(ui.writes.empty());
        }
        XSync(parent.display, False);
        EXPECT_EQ(xErrors, 0);
    }
}

TEST(Lv2Ui, HostAndEditorMeetAtTheControlPorts) {
    ASSERT_NE(xDisplay(), nullptr) << "no X display";
    auto host = playingInstance();
    HostWindow parent;
    Lv2UiHost ui(*host, parent.window, parent.options());
    ASSERT_TRUE(ui.loaded()) << ui.error();
    idleFor(ui);

    // The host switches the arpeggiator off: its section leaves the window.
    host->setControl(param::kArpOn, 0.0f);
    host->processBlock(kBlock);
    idleFor(ui);
    EXPECT_EQ(ui.sizes.back(), vstEditorSize(0.0f, false));

    // "Arp ON" clicked in the window: the port, the gesture and the engine
    // agree once the host has run a block with the port's new value.
    ASSERT_EQ(std::system("xdotool mousemove 190 19 click 1"), 0);
    idleFor(ui);
    const uint32_t port = kFirstControl + param::kArpOn;
    EXPECT_EQ(ui.writes, (std::vector<Lv2UiHost::Write>{{port, 1.0f}}));
    EXPECT_EQ(ui.touches, (std::vector<Lv2UiHost::Touch>{{port, true}, {port, false}}));
    EXPECT_EQ(ui.sizes.back(), vstEditorSize(0.0f, true));
    host->processBlock(kBlock);
    EXPECT_EQ(host->control(param::kArpOn), 1.0f);
    host->parameters.clear();
    host->patchGet(0, param::kArpOn);
    host->run(4 * kBlock, kBlock);
    ASSERT_FALSE(host->parameters.empty());
    EXPECT_EQ(host->parameters.back().value, 1.0f);
    EXPECT_EQ(xErrors, 0);
}

TEST(Lv2Ui, WithoutInstanceAccessTheWindowSaysWhy) {
    ASSERT_NE(xDisplay(), nullptr) << "no X display";
    auto host = playingInstance();
    HostWindow parent;
    Lv2UiHost::Options o;
    o.instanceAccess = false;
    {
        Lv2UiHost ui(*host, parent.window, parent.options(o));
        ASSERT_TRUE(ui.loaded()) << ui.error();
        idleFor(ui);
        ASSERT_FALSE(ui.sizes.empty());
        const auto look = parent.look(ui.widget());
        EXPECT_EQ(std::make_pair(look.width, look.height), ui.sizes.back());
        EXPECT_GT(look.colours, 2u) << "no text in the window";
        EXPECT_TRUE(ui.writes.empty());
    }
    XSync(parent.display, False);
    EXPECT_EQ(xErrors, 0);
}

// Zandrel.clap's editor through the gui extension, as a CLAP host embeds
// it: in an X11 window of the test's, idled only through the host's timer
// and its watch on the editor's X connection. Run under with_display.sh.
#include "abi/posix_fd_support.h"
#include "clap_test_support.h"
#include "parameter_indices.h"

#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <string>
#include <unistd.h>

// Last: Xlib's macros (None, Bool) would clash with the names above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

using Size = std::pair<uint32_t, uint32_t>;

// A fresh documents folder: the editor makes its preset folders there.
class ClapEditor : public ::testing::Test {
protected:
    void SetUp() override {
        documents = std::filesystem::temp_directory_path() /
                    ("zandrel-clap-gui-" + std::to_string(getpid()));
        std::filesystem::create_directories(documents);
        setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("XDG_DOCUMENTS_DIR");
        std::filesystem::remove_all(documents);
    }
    std::filesystem::path documents;
};

Size guiSize(ClapHost& host) {
    uint32_t w = 0;
    uint32_t h = 0;
    EXPECT_TRUE(host.gui()->get_size(host.plugin(), &w, &h));
    return {w, h};
}

// The test's own window, a host's editor frame, at the screen's origin (no
// window manager: its coordinates are the screen's), magenta behind.
class HostWindow {
public:
    static constexpr unsigned long kBackground = 0xFF00FF;
    HostWindow() : display(XOpenDisplay(nullptr)) {
        if (!display) return;
        window = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1300, 1200, 0, 0,
                                     kBackground);
        XMapWindow(display, window);
        XSync(display, False);
    }
    ~HostWindow() {
        if (!display) return;
        XDestroyWindow(display, window);
        XCloseDisplay(display);
    }
    HostWindow(const HostWindow&) = delete;
    HostWindow& operator=(const HostWindow&) = delete;

    // The editor's window inside ours: its size once mapped, else 0 x 0.
    Size child() const {
        Window root = 0;
        Window parent = 0;
        Window* children = nullptr;
        unsigned count = 0;
        Size size{0, 0};
        XSync(display, False);
        if (XQueryTree(display, window, &root, &parent, &children, &count) && count == 1) {
            XWindowAttributes a{};
            XGetWindowAttributes(display, children[0], &a);
            if (a.map_state == IsViewable)
                size = {static_cast<uint32_t>(a.width), static_cast<uint32_t>(a.height)};
        }
        if (children) XFree(children);
        return size;
    }
    // The colours seen on a coarse grid over the given area.
    std::set<unsigned long> colours(Size area) const {
        std::set<unsigned long> seen;
        XImage* image =
            XGetImage(display, window, 0, 0, area.first, area.second, AllPlanes, ZPixmap);
        if (!image) return seen;
        for (uint32_t y = 0; y < area.second; y += 7)
            for (uint32_t x = 0; x < area.first; x += 7)
                seen.insert(XGetPixel(image, static_cast<int>(x), static_cast<int>(y)));
        XDestroyImage(image);
        return seen;
    }

    Display* display;
    Window window = 0;
};

// The host's main loop for a while: timers and the X connection's watch.
template <typename Done>
bool idleUntil(ClapHost& host, Done done) {
    for (int i = 0; i < 150; ++i) {
        host.idleGui(20);
        if (done()) return true;
    }
    return false;
}

void screenshot(const char* name) {
    // For looking at the editor: ZANDREL_SHOTS=folder keeps pictures.
    const char* folder = std::getenv("ZANDREL_SHOTS");
    if (!folder) return;
    const std::string command =
        std::string("import -window root '") + folder + "/" + name + ".png'";
    EXPECT_EQ(std::system(command.c_str()), 0);
}

} // namespace

TEST_F(ClapEditor, SizesAreTheVst2EditorsAtBothScales) {
    auto vst = makeHost();
    auto clap = makeClapHost();
    const clap_plugin_gui* gui = clap->gui();
    ASSERT_NE(gui, nullptr);
    ASSERT_TRUE(gui->create(clap->plugin(), CLAP_WINDOW_API_X11, false));
    struct Case {
        double scale;
        bool chords;
        bool arp;
    };
    for (const Case c :
         {Case{1.0, true, true}, Case{2.0, true, true}, Case{1.0, false, true},
          Case{2.0, true, false}, Case{1.25, false, false}, Case{1.75, true, true}}) {
        vst->setParameter(param::kChordsOn, c.chords ? 1.0f : 0.0f);
        vst->setParameter(param::kArpOn, c.arp ? 1.0f : 0.0f);
        vst->setParameter(param::kEditorScale, c.scale >= 1.5 ? 1.0f : 0.0f);
        int32_t w = 0;
        int32_t h = 0;
        ASSERT_TRUE(vst->editorRect(w, h));
        clap->setParameter(param::kChordsOn, c.chords ? 1.0 : 0.0);
        clap->setParameter(param::kArpOn, c.arp ? 1.0 : 0.0);
        clap->processBlock(64);
        ASSERT_TRUE(gui->set_scale(clap->plugin(), c.scale));
        const Size expected{static_cast<uint32_t>(w), static_cast<uint32_t>(h)};
        EXPECT_EQ(guiSize(*clap), expected) << c.scale << " " << c.chords << c.arp;
        uint32_t aw = 1;
        uint32_t ah = 1;
        EXPECT_TRUE(gui->adjust_size(clap->plugin(), &aw, &ah));
        EXPECT_EQ(Size(aw, ah), expected);
        EXPECT_TRUE(gui->set_size(clap->plugin(), expected.first, expected.second));
        EXPECT_FALSE(gui->set_size(clap->plugin(), expected.first + 1, expected.second));
    }
    EXPECT_FALSE(gui->set_scale(clap->plugin(), 0.0));
    EXPECT_FALSE(gui->can_resize(clap->plugin()));
    gui->destroy(clap->plugin());
}

TEST_F(ClapEditor, OpensInTheHostsWindowAndTalksToTheHost) {
    HostWindow window;
    ASSERT_NE(window.display, nullptr) << "run under with_display.sh";
    auto clap = makeClapHost();
    const clap_plugin_gui* gui = clap->gui();
    ASSERT_NE(gui, nullptr);
    const clap_plugin* p = clap->plugin();

    // X11, embedded only.
    EXPECT_TRUE(gui->is_api_supported(p, CLAP_WINDOW_API_X11, false));
    EXPECT_FALSE(gui->is_api_supported(p, CLAP_WINDOW_API_X11, true));
    EXPECT_FALSE(gui->is_api_supported(p, "wayland", true));
    const char* api = nullptr;
    bool floating = true;
    ASSERT_TRUE(gui->get_preferred_api(p, &api, &floating));
    EXPECT_STREQ(api, CLAP_WINDOW_API_X11);
    EXPECT_FALSE(floating);
    EXPECT_FALSE(gui->create(p, CLAP_WINDOW_API_X11, true));

    // Created: a timer for its idle; opened: its X connection watched too.
    ASSERT_TRUE(gui->create(p, CLAP_WINDOW_API_X11, false));
    ASSERT_EQ(clap->timers.size(), 1u);
    EXPECT_LE(clap->timers[0].periodMs, 50u);
    ASSERT_TRUE(gui->set_scale(p, 1.0));
    const Size both = guiSize(*clap);
    const clap_window parent{CLAP_WINDOW_API_X11, {.x11 = window.window}};
    ASSERT_TRUE(gui->set_parent(p, &parent));
    ASSERT_EQ(clap->fds.size(), 1u);
    EXPECT_EQ(clap->fds[0].second, static_cast<uint32_t>(CLAP_POSIX_FD_READ));
    EXPECT_TRUE(gui->show(p));

    // The timer draws it, at its size, over all of the host's window it
    // covers.
    ASSERT_TRUE(idleUntil(*clap,
                          [&] {
                              const auto seen = window.colours(both);
                              return window.child() == both && seen.size() > 8 &&
                                     !seen.contains(HostWindow::kBackground);
                          }))
        << window.child().first << " x " << window.child().second;
    screenshot("clap-editor-100");

    // The host switches the arpeggiator off: the editor hears it at its
    // next tick and asks for the smaller window.
    clap->resizeRequests.clear();
    clap->setParameter(param::kArpOn, 0.0);
    clap->processBlock(64);
    const Size chordsOnly = guiSize(*clap);
    EXPECT_LT(chordsOnly.second, both.second);
    ASSERT_TRUE(idleUntil(*clap, [&] { return window.child() == chordsOnly; }));
    ASSERT_FALSE(clap->resizeRequests.empty());
    EXPECT_EQ(clap->resizeRequests.back(), chordsOnly);

    // A click on "Arp ON" in the window: the user's gesture reaches the host
    // with the next block, bracketed and to be recorded.
    clap->parameterEvents.clear();
    const int flushes = clap->flushRequests;
    ASSERT_EQ(std::system("xdotool mousemove 190 19 click 1"), 0);
    ASSERT_TRUE(idleUntil(*clap, [&] { return window.child() == both; }));
    EXPECT_EQ(clap->resizeRequests.back(), both);
    EXPECT_GT(clap->flushRequests, flushes);
    clap->processBlock(64);
    std::vector<std::tuple<uint16_t, clap_id, double, uint32_t>> told;
    for (const auto& e : clap->parameterEvents) told.emplace_back(e.type, e.id, e.value, e.flags);
    const decltype(told) gesture = {
        {CLAP_EVENT_PARAM_GESTURE_BEGIN, param::kArpOn, 0.0, 0},
        {CLAP_EVENT_PARAM_VALUE, param::kArpOn, 1.0, 0},
        {CLAP_EVENT_PARAM_GESTURE_END, param::kArpOn, 0.0, 0},
    };
    EXPECT_EQ(told, gesture);
    EXPECT_EQ(clap->getParameter(param::kArpOn), 1.0);

    // The host's scale of 2.0 while open: 200 %, and the host is asked.
    ASSERT_TRUE(gui->set_scale(p, 2.0));
    const Size doubled = guiSize(*clap);
    EXPECT_EQ(doubled, Size(both.first * 2, both.second * 2));
    ASSERT_TRUE(idleUntil(*clap, [&] {
        return window.child() == doubled &&
               !window.colours(doubled).contains(HostWindow::kBackground);
    }));
    EXPECT_EQ(clap->resizeRequests.back(), doubled);
    screenshot("clap-editor-200");

    // Destroyed: the timer and the watch are given back, the window goes.
    gui->destroy(p);
    EXPECT_TRUE(clap->timers.empty());
    EXPECT_TRUE(clap->fds.empty());
    EXPECT_EQ(window.child(), Size(0, 0));
}

#include "editor_fixture.h"

#include "coption_menu.h"
#include "gui_test_support.h"
#include "menu_popup_view.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>

namespace {
// Headless and at 100 % whatever the machine running the tests has: the
// screen's own size must not decide these tests.
struct NoScreen : ::testing::Environment {
    void SetUp() override {
        unsetenv("DISPLAY");
        unsetenv("GDK_SCALE");
    }
};
const auto* const noScreen = ::testing::AddGlobalTestEnvironment(new NoScreen);
} // namespace

bool AppliedParameters::contains(int32_t index, float value) const {
    for (const auto& [i, v] : applied)
        if (i == index && v == value) return true;
    return false;
}

EditorTestHost*& EditorTestHost::current() {
    static EditorTestHost* host = nullptr;
    return host;
}

intptr_t EditorTestHost::callback(AEffect*, int32_t opcode, int32_t index, intptr_t value,
                                  void* ptr, float opt) {
    EditorTestHost* host = current();
    switch (opcode) {
    case audioMasterVersion:
        return 2400;
    case audioMasterGetSampleRate:
        return 48000;
    case audioMasterGetProductString:
        std::snprintf(static_cast<char*>(ptr), 64, "%s",
                      host ? host->productString.c_str() : "Editor Test Host");
        return 1;
    case audioMasterProcessEvents:
        if (host)
            for (int32_t i = 0; i < static_cast<VstEvents*>(ptr)->numEvents; ++i) {
                const auto* e =
                    reinterpret_cast<const VstMidiEvent*>(static_cast<VstEvents*>(ptr)->events[i]);
                host->midiOut.push_back({static_cast<uint8_t>(e->midiData[0]),
                                         static_cast<uint8_t>(e->midiData[1]),
                                         static_cast<uint8_t>(e->midiData[2])});
            }
        return 1;
    case audioMasterAutomate:
        if (host) host->automated.emplace_back(index, opt);
        return 0;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
        if (host)
            host->gestures.push_back((opcode == audioMasterBeginEdit ? "begin " : "end ") +
                                     std::to_string(index));
        return 1;
    case audioMasterSizeWindow:
        if (host) host->sizes.emplace_back(index, static_cast<int32_t>(value));
        return 1;
    default:
        return 0;
    }
}

void EditorTest::create(const std::string& configText) {
    effect.reset();
    if (!documents.empty()) std::filesystem::remove_all(documents);
    char pattern[] = "/tmp/zandrel-editor-test-XXXXXX";
    documents = mkdtemp(pattern);
    setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    if (!configText.empty()) {
        const auto folder = std::filesystem::path(documents) / "Vrek" / "Zandrel Presets";
        std::filesystem::create_directories(folder);
        FILE* f = std::fopen((folder / "ZandrelConfig.txt").c_str(), "w");
        std::fputs(configText.c_str(), f);
        std::fclose(f);
    }
    EditorTestHost::current() = &host;
    effect = std::make_unique<ZandrelDSPEdit>(&EditorTestHost::callback, createZandrelEditor);
    auto* bridge = static_cast<VstEditorBridge*>(effect->getEditor());
    gui = &bridge->gui();
    parameters.editor = bridge;
    effect->zandEngine().setEditorLink(&parameters);
    runBlocks(10); // past the guard that follows a resume
}

void EditorTest::TearDown() {
    effect.reset();
    EditorTestHost::current() = nullptr;
    unsetenv("XDG_DOCUMENTS_DIR");
    if (!path.empty()) setenv("PATH", path.c_str(), 1);
    std::filesystem::remove_all(documents);
}

void EditorTest::runBlocks(int count) {
    float left[64], right[64];
    float* outputs[2] = {left, right};
    for (int i = 0; i < count; ++i) effect->processReplacing(nullptr, outputs, 64);
}

void EditorTest::open() {
    effect->dispatcher(effEditOpen, 0, 0, nullptr, 0.0f);
    idle();
}

void EditorTest::idle() {
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
}

void EditorTest::close() {
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
}

EditorRect EditorTest::rect() {
    ERect* r = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &r, 0.0f), 1);
    return EditorRect{r->top, r->left, r->bottom, r->right};
}

void EditorTest::clickAt(CPoint p, int32_t buttons) {
    click(frame(), p.x, p.y, buttons);
}

CPoint EditorTest::centreOf(const CView* view) {
    return view->localToFrame(view->getViewSize().getCenter());
}

void EditorTest::choose(COptionMenu* menu, const std::vector<int32_t>& entries) {
    ASSERT_TRUE(menu->popup());
    auto* popup = dynamic_cast<MenuPopupView*>(frame()->getPopupView());
    ASSERT_NE(popup, nullptr);
    for (size_t level = 0; level < entries.size(); ++level) {
        const CRect r = popup->entryRect(level, entries[level]);
        const CPoint at(r.left + 10, r.getCenter().y);
        move(frame(), at.x, at.y, 0);
        if (level + 1 == entries.size()) click(frame(), at.x, at.y);
    }
}

void EditorTest::typeText(const std::string& text) {
    for (char c : text) typeKey(frame(), c);
    typeVirtual(frame(), VKEY_RETURN);
}

bool EditorTest::idleUntil(const std::function<bool()>& done) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    while (!done()) {
        if (std::chrono::steady_clock::now() > end) return false;
        idle();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

std::string EditorTest::presetsFolder() const {
    return documents + "/Vrek/Zandrel Presets/";
}

void EditorTest::standIn(const std::string& name, const std::string& body) {
    const std::string bin = documents + "/bin";
    std::filesystem::create_directories(bin);
    const std::string script = bin + "/" + name;
    FILE* f = std::fopen(script.c_str(), "w");
    std::fprintf(f, "#!/bin/sh\n%s\n", body.c_str());
    std::fclose(f);
    std::filesystem::permissions(script, std::filesystem::perms::owner_all);
    if (path.empty()) path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    setenv("PATH", (bin + ":" + path).c_str(), 1);
}

void EditorTest::onlyStandInsOnPath() {
    if (path.empty()) path = std::getenv("PATH") ? std::getenv("PATH") : "/usr/bin:/bin";
    setenv("PATH", (documents + "/bin").c_str(), 1);
}

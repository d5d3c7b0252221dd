#include "editor_fixture.h"

#include "gui_test_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

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
        std::snprintf(static_cast<char*>(ptr), 64, "Editor Test Host");
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
    gui = &static_cast<VstEditorBridge*>(effect->getEditor())->gui();
    runBlocks(10); // past the guard that follows a resume
}

void EditorTest::TearDown() {
    effect.reset();
    EditorTestHost::current() = nullptr;
    unsetenv("XDG_DOCUMENTS_DIR");
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

#include "cfile_selector.h"
#include "cvstgui_timer.h"
#include "file_uri_list.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace {
struct Counter : CBaseObject {
    int timerTicks = 0;
    int selectorEnds = 0;
    std::string file;
    CMessageResult notify(CBaseObject* sender, const char* message) override {
        if (message == kMsgTimer) {
            ++timerTicks;
            return kMessageNotified;
        }
        if (message == kSelectEndMessage) {
            ++selectorEnds;
            const char* f = static_cast<CFileSelector*>(sender)->getSelectedFile(0);
            file = f ? f : "";
            return kMessageNotified;
        }
        return kMessageUnknown;
    }
};

std::string script(const std::string& name, const std::string& body) {
    auto path = std::filesystem::temp_directory_path() /
                ("zandrel-" + name + "-" + std::to_string(getpid()));
    std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
    return path.string();
}

// Polls like a host's idle, for at most ten seconds.
template <typename Done>
void idleUntil(Done done) {
    for (int i = 0; i < 1000 && !done(); ++i) {
        IdleClients::runAll();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}
} // namespace

TEST(Timer, FiresOncePerPeriodFromIdleAndStopsWhenAsked) {
    Counter c;
    auto* timer = new CVSTGUITimer(&c, 50, true);
    auto t0 = IdleClock::now();
    IdleClients::runAll(t0);
    EXPECT_EQ(c.timerTicks, 0);
    IdleClients::runAll(t0 + std::chrono::milliseconds(60));
    EXPECT_EQ(c.timerTicks, 1);
    IdleClients::runAll(t0 + std::chrono::milliseconds(80));
    EXPECT_EQ(c.timerTicks, 1);
    IdleClients::runAll(t0 + std::chrono::milliseconds(500)); // a late idle fires once
    EXPECT_EQ(c.timerTicks, 2);
    timer->setFireTime(5150);
    IdleClients::runAll(t0 + std::chrono::milliseconds(2000));
    EXPECT_EQ(c.timerTicks, 2);
    timer->stop();
    IdleClients::runAll(t0 + std::chrono::hours(1));
    EXPECT_EQ(c.timerTicks, 2);
    EXPECT_FALSE(timer->setFireTime(0));
    timer->forget();
}

TEST(FileSelector, BuildsTheDialogCommandForZenityAndKdialog) {
    auto* save = new CFileSelector(CFileSelector::kSelectSaveFile);
    save->setTitle("Save Preset...");
    save->addFileExtension("Presets", "fxp");
    save->setInitialDirectory("/home/u/Zandrel");
    save->setDefaultSaveName("mine.fxp");
    save->setParentWindow(4242); // the dialog stays above the host's window
    std::vector<std::string> z = save->commandLine("/usr/bin/zenity");
    EXPECT_EQ(z,
              (std::vector<std::string>{"/usr/bin/zenity", "--file-selection", "--attach=4242",
                                        "--save", "--confirm-overwrite", "--title=Save Preset...",
                                        "--filename=/home/u/Zandrel/mine.fxp",
                                        "--file-filter=Presets | *.[fF][xX][pP]"}));
    std::vector<std::string> k = save->commandLine("/usr/bin/kdialog");
    EXPECT_EQ(k,
              (std::vector<std::string>{"/usr/bin/kdialog", "--attach", "4242", "--getsavefilename",
                                        "/home/u/Zandrel/mine.fxp", "Presets (*.[fF][xX][pP])",
                                        "--title", "Save Preset..."}));
    save->forget();
    auto* open = new CFileSelector(CFileSelector::kSelectFile);
    open->setInitialDirectory("/tmp");
    EXPECT_EQ(open->commandLine("zenity"),
              (std::vector<std::string>{"zenity", "--file-selection", "--filename=/tmp/"}));
    open->forget();
}

TEST(FileSelector, ReportsTheChosenFileOrACancelThroughNotifyAtIdle) {
    Counter c;
    std::string chooser = script("chooser", "sleep 0.1; echo /tmp/chosen.fxp");
    std::string cancel = script("cancel", "exit 1");
    CFileSelector::setProgramOverride(chooser);
    auto* selector = new CFileSelector(CFileSelector::kSelectSaveFile);
    ASSERT_TRUE(selector->run(&c));
    EXPECT_TRUE(selector->isRunning());
    EXPECT_EQ(c.selectorEnds, 0) << "the dialog does not block";
    selector->forget(); // the running dialog keeps itself alive
    idleUntil([&] { return c.selectorEnds > 0; });
    EXPECT_EQ(c.selectorEnds, 1);
    EXPECT_EQ(c.file, "/tmp/chosen.fxp");

    CFileSelector::setProgramOverride(cancel);
    selector = new CFileSelector(CFileSelector::kSelectFile);
    ASSERT_TRUE(selector->run(&c));
    idleUntil([&] { return c.selectorEnds > 1; });
    EXPECT_EQ(c.selectorEnds, 2);
    EXPECT_EQ(selector->getNumSelectedFiles(), 0);
    selector->forget();

    CFileSelector::setProgramOverride("/nonexistent/dialog");
    selector = new CFileSelector(CFileSelector::kSelectFile);
    EXPECT_FALSE(selector->run(&c));
    EXPECT_EQ(c.selectorEnds, 3) << "a failed start still ends the request";
    selector->forget();
    CFileSelector::setProgramOverride("");
    std::filesystem::remove(chooser);
    std::filesystem::remove(cancel);
}

TEST(DragSource, OffersFilesAsPercentEncodedUris) {
    EXPECT_EQ(toFileUriList({"/tmp/temp.mid", "/home/a b/c#.mid"}),
              "file:///tmp/temp.mid\r\nfile:///home/a%20b/c%23.mid\r\n");
}

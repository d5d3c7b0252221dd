// The six bracketed numbers of "ZandrelConfig.txt".
#include "config_file.h"
#include "format_test_support.h"
#include "preset_file.h"

#include <gtest/gtest.h>
#include <string>

namespace {
Configuration parse(const std::string& text) {
    return parseConfiguration(reinterpret_cast<const uint8_t*>(text.data()), text.size());
}
} // namespace

TEST(ConfigFile, SwitchesTwoAndFiveWithSize200Percent) {
    const Configuration c = parse("unused [0]\nCC edits [1]\nlow keys [0]\nretrigger [0]\n"
                                  "preview [1]\nsize [1]\n");
    EXPECT_FALSE(c.unusedSwitch);
    EXPECT_TRUE(c.optCcEditsNotes);
    EXPECT_FALSE(c.optLowKeysPickPattern);
    EXPECT_FALSE(c.optRetriggerHeld);
    EXPECT_TRUE(c.optPreviewSound);
    EXPECT_EQ(c.optEditorSize, 1);
    EXPECT_EQ(editorScaleOfConfiguration(c.optEditorSize), 2);
}

TEST(ConfigFile, ASizeOfFiveIsLimitedTo200Percent) {
    const Configuration c = parse("[1][0][0][0][0][5]");
    EXPECT_TRUE(c.unusedSwitch);
    EXPECT_FALSE(c.optCcEditsNotes || c.optLowKeysPickPattern || c.optRetriggerHeld ||
                 c.optPreviewSound);
    EXPECT_EQ(c.optEditorSize, 5);
    EXPECT_EQ(editorScaleOfConfiguration(5), 2);
    EXPECT_EQ(editorScaleOfConfiguration(0), 1);
    EXPECT_EQ(editorScaleOfConfiguration(-9), 1);
    EXPECT_EQ(editorScaleOfConfiguration(INT32_MAX), 2);
}

TEST(ConfigFile, TextWithoutBracketsKeepsTheDefaults) {
    const Configuration c = parse("nothing to see 1 2 3");
    EXPECT_FALSE(c.unusedSwitch || c.optCcEditsNotes || c.optPreviewSound);
    EXPECT_EQ(c.optEditorSize, 0);
}

TEST(ConfigFile, OnlyDigitsInsideTheBracketsCount) {
    const Configuration c = parse("7 [x] [ 0 ] [a1b] [] 9 [-] [1 2]");
    EXPECT_FALSE(c.unusedSwitch) << "no digits reads as 0";
    EXPECT_FALSE(c.optCcEditsNotes);
    EXPECT_TRUE(c.optLowKeysPickPattern);
    EXPECT_FALSE(c.optRetriggerHeld);
    EXPECT_FALSE(c.optPreviewSound);
    EXPECT_EQ(c.optEditorSize, 12);
}

TEST(ConfigFile, AnUnclosedBracketRunsToTheEnd) {
    const Configuration c = parse("[1][0][1][0][1][4");
    EXPECT_TRUE(c.optPreviewSound);
    EXPECT_EQ(c.optEditorSize, 4);
}

TEST(ConfigFile, AMissingFileGivesTheDefaultsAndAPresentOneIsRead) {
    const Configuration missing =
        readConfiguration("/nonexistent-zandrel-folder/ZandrelConfig.txt");
    EXPECT_FALSE(missing.optCcEditsNotes);
    EXPECT_EQ(missing.optEditorSize, 0);

    ScratchFolder folder;
    const std::string text = "[0][0][0][1][0][0]";
    writeWholeFile(folder / kConfigFileName, reinterpret_cast<const uint8_t*>(text.data()),
                   text.size());
    EXPECT_TRUE(readConfiguration(folder / kConfigFileName).optRetriggerHeld);
}

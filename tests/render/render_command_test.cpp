// zandrel-render as a user runs it: files that other programs read back,
// parameters by name or number, a saved state that loads again, and one
// clear failure, with no file left behind, for every kind of bad input.
// (The same MIDI whatever the block size: see the golden renders.)
#include "song_bytes.h"
#include "test_host_support.h"

#include <cairo.h>
#include <gtest/gtest.h>

namespace {
namespace fs = std::filesystem;

class RenderCommand : public ::testing::Test {
protected:
    CommandOutput render(const std::string& arguments,
                         const std::string& song = ZANDREL_DEMO_SONG) {
        return runCommand("'" ZANDREL_RENDER "' --plugin '" ZANDREL_SO "' '" + song + "' " +
                          arguments);
    }
    std::string file(const std::string& name) const { return folder / name; }
    size_t filesInFolder() const {
        return static_cast<size_t>(std::distance(fs::directory_iterator(folder.path()), {}));
    }
    ScratchFolder folder;
};

TEST_F(RenderCommand, WritesMidiWavAndPictureThatOtherProgramsRead) {
    const auto outcome = render("-o " + file("out.mid") + " --wav " + file("out.wav") + " --roll " +
                                file("out.png"));
    ASSERT_EQ(outcome.status, 0) << outcome.text;
    EXPECT_NE(outcome.text.find("4 notes in"), std::string::npos) << outcome.text;

    const auto csv = runCommand("midicsv " + file("out.mid"));
    ASSERT_EQ(csv.status, 0) << csv.text;
    EXPECT_NE(csv.text.find("0, 0, Header, 0, 1, 960"), std::string::npos) << csv.text;
    EXPECT_NE(csv.text.find("Tempo, 545455"), std::string::npos); // the input's tempo
    EXPECT_NE(csv.text.find("Note_on_c"), std::string::npos);

    const auto info = runCommand("sndfile-info " + file("out.wav"));
    ASSERT_EQ(info.status, 0) << info.text;
    for (const char* line : {"Channels    : 2", "Sample Rate : 48000", "Format      : 0x00010006"})
        EXPECT_NE(info.text.find(line), std::string::npos) << info.text; // WAV, float

    cairo_surface_t* picture = cairo_image_surface_create_from_png(file("out.png").c_str());
    EXPECT_EQ(cairo_surface_status(picture), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(picture), 1600);
    EXPECT_EQ(cairo_image_surface_get_height(picture), 900);
    cairo_surface_destroy(picture);
}

TEST_F(RenderCommand, ParametersByNameOrNumberTempoAndASavedStateGiveTheSameMidi) {
    ASSERT_EQ(render("-q --set 'Arp ON=0' -o " + file("name.mid")).status, 0);
    ASSERT_EQ(render("-q --set 17=0 -o " + file("number.mid")).status, 0);
    EXPECT_EQ(fileText(file("name.mid")), fileText(file("number.mid")));
    // Chord memory alone: each of the four keys plays its stored chord at once.
    EXPECT_EQ(runCommand("midicsv " + file("name.mid") + " | grep -c Note_on_c").text, "12\n");

    const auto saved = render("-q --set 'Arp ON=0' --save-chunk " + file("state.chunk"));
    ASSERT_EQ(saved.status, 0) << saved.text;
    ASSERT_EQ(render("-q --chunk " + file("state.chunk") + " -o " + file("loaded.mid")).status, 0);
    EXPECT_EQ(fileText(file("loaded.mid")), fileText(file("name.mid")));

    ASSERT_EQ(render("-q --tempo 60 -o " + file("slow.mid")).status, 0);
    EXPECT_NE(runCommand("midicsv " + file("slow.mid")).text.find("Tempo, 1000000"),
              std::string::npos);
    const auto help = runCommand("'" ZANDREL_RENDER "' --help");
    EXPECT_EQ(help.status, 0);
    for (const char* option : {"--output", "--wav", "--roll", "--preset", "--chunk", "--set",
                               "--save-chunk", "--tempo", "--rate", "--block", "--seed"})
        EXPECT_NE(help.text.find(option), std::string::npos) << option;
}

TEST_F(RenderCommand, BadInputFailsClearlyWithoutLeavingAFile) {
    auto broken = smfBytes(0, 96, {track({{0, {0x90, 60, 100}}, {96, {0x80, 60, 0}}})});
    broken.resize(broken.size() - 3);
    writeFile(file("broken.mid"), broken);
    writeFile(file("short.fxp"), {'C', 'c', 'n', 'K'});
    // Bytes of each kind's length (whole state, chords, arpeggiator) behind
    // a header that is not a program file.
    for (uint32_t size : {27512u, 8312u, 19096u}) {
        std::vector<uint8_t> preset(60 + size, 0xEE);
        for (int i = 0; i < 4; ++i) preset[56 + i] = static_cast<uint8_t>(size >> (24 - 8 * i));
        writeFile(file("bad" + std::to_string(size) + ".fxp"), preset);
    }
    const size_t inputs = filesInFolder();
    const std::string outputs =
        " -o " + file("out.mid") + " --wav " + file("out.wav") + " --roll " + file("out.png");
    const std::pair<CommandOutput, std::string> cases[] = {
        {render(outputs, file("missing.mid")), "missing.mid"},
        {render(outputs, file("broken.mid")), "broken.mid"},
        {render("--set 'Arp OFF=1'" + outputs), "unknown parameter \"Arp OFF\""},
        {render("--preset " + file("short.fxp") + outputs), "short.fxp"},
        {render("--preset " + file("bad27512.fxp") + outputs), "zandrel-render: "},
        {render("--preset " + file("bad8312.fxp") + outputs), "zandrel-render: "},
        {render("--preset " + file("bad19096.fxp") + outputs), "zandrel-render: "},
        {render("-o " + file("no/such/folder/out.mid")), "zandrel-render: "},
    };
    for (const auto& [outcome, told] : cases) {
        EXPECT_EQ(outcome.status, 2) << outcome.text;
        EXPECT_NE(outcome.text.find("zandrel-render: "), std::string::npos) << outcome.text;
        EXPECT_NE(outcome.text.find(told), std::string::npos) << outcome.text;
    }
    EXPECT_EQ(filesInFolder(), inputs) << "a partial file was left";
}
} // namespace

// The Disk Cache page: layout, slider handlers, profile choice, "Automatic" and clamping.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/LayoutCheck.h"
#include "unit/TuningHarness.h"

namespace lumora {
namespace {

using testing::EffectRecorder;
using testing::FormHarness;
using Lines = std::vector<std::string>;

std::string Positions(const TForm1& f)
{
    return std::to_string(f.DiskCache.RxSlider3.Value()) + "," + std::to_string(f.DiskCache.RxSlider4.Value()) + "," +
           std::to_string(f.DiskCache.RxSlider5.Value());
}

std::string Texts(const TForm1& f)
{
    return f.Tuning.MinFileCacheText + "," + f.Tuning.MaxFileCacheText + "," + f.Tuning.ChunkSizeText;
}

std::string Labels(const TForm1& f)
{
    return f.DiskCache.Label16.Caption() + "," + f.DiskCache.Label17.Caption() + "," + f.DiskCache.Label30.Caption();
}

// "a,b,c" as the three labels show it: "a kb,b kb,c kb".
std::string WithKb(const std::string& texts)
{
    std::string out;
    std::size_t start = 0;
    for (std::size_t comma; (comma = texts.find(',', start)) != std::string::npos; start = comma + 1) {
        out += texts.substr(start, comma - start) + " kb,";
    }
    return out + texts.substr(start) + " kb";
}

void StoreCache(FormHarness& h, const char* minimum, const char* maximum, const char* chunk)
{
    h.machine.profile.Put("vcache", "MinFileCache", minimum);
    h.machine.profile.Put("vcache", "MaxFileCache", maximum);
    h.machine.profile.Put("vcache", "CHUNKSIZE", chunk);
}

TEST(DiskCachePage, LayoutFollowsTheDesign)
{
    testing::DesignedForm designed;
    const TForm1& f = designed.form;
    const auto& disk = f.DiskCache;
    testing::ExpectLayout(
        {
            {&disk.Label3, {16, 24, 0, 0}, "Minimum Cache Size :", -1},
            {&disk.Label16, {128, 24, 0, 0}, "0 kb", -1},
            {&disk.RxSlider3, {8, 40, 377, 33}, "", 2},
            {&disk.Label10, {16, 88, 0, 0}, "Maximum Cache Size  :", -1},
            {&disk.Label17, {136, 88, 0, 0}, "0 kb", -1},
            {&disk.RxSlider4, {8, 104, 377, 33}, "", 0},
            {&disk.Label11, {16, 152, 0, 0}, "Chunk Size :", -1},
            {&disk.Label30, {80, 152, 0, 0}, "0 kb", -1},
            {&disk.RxSlider5, {8, 168, 377, 33}, "", 1},
            {&disk.Label49, {16, 224, 0, 0}, "Your system profile is ", -1},
            {&disk.ComboBox1, {16, 240, 185, 0}, "", 3},
            {&disk.Button4, {148, 344, 75, 25}, "Automatic", 4},
        },
        f.TabSheet4);
    for (const auto* s : {&disk.RxSlider3, &disk.RxSlider4, &disk.RxSlider5}) {
        const int max = s == &disk.RxSlider5 ? 128 : 100;
        EXPECT_EQ(std::vector<int>({s->MinValue(), s->MaxValue(), s->Increment(), s->Value()}),
                  std::vector<int>({0, max, 10, 0}))
            << s->Name();
    }
    EXPECT_EQ(disk.ComboBox1.Items(), (Lines{"User Defined", "Standard System", "Power User", "Multimedia",
                                             "Gaming System", "CD Writer", "Low Memory System"}));
    EXPECT_EQ(f.TabSheet4.Caption(), "Disk Cache");
}

TEST(DiskCachePage, SliderHandlersEnableApplyWriteTextAndLabelChooseUserDefinedThenMarkTheRestart)
{
    struct Case {
        TRxSlider DiskCachePage::*slider;
        Lines effects;
        const char* texts;
    };
    const std::vector<Case> cases = {
        {&DiskCachePage::RxSlider3, {"Button2=on", "Label16=10240 kb", "ComboBox1=0"}, "10240,8192,512"},
        {&DiskCachePage::RxSlider4, {"Button2=on", "Label17=20480 kb", "ComboBox1=0"}, "2048,20480,512"},
        // 16 counts as 20
        {&DiskCachePage::RxSlider5, {"Button2=on", "Label30=960 kb", "ComboBox1=0"}, "2048,8192,960"},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        StoreCache(h, "2048", "8192", "512");
        TForm1& f = h.Start();
        auto& disk = f.DiskCache;
        ASSERT_EQ(disk.ComboBox1.ItemIndex(), 1);
        TRxSlider& slider = disk.*c.slider;
        EffectRecorder recorder(f, {&f.Button2, &disk.Label16, &disk.Label17, &disk.Label30, &disk.ComboBox1});
        slider.KeyDown(SliderKey::Right);
        EXPECT_EQ(recorder.effects, c.effects) << slider.Name() << ": the restart mark comes last";
        EXPECT_TRUE(f.RestartPending) << slider.Name();
        EXPECT_EQ(Texts(f), c.texts) << slider.Name();
    }
}

TEST(DiskCachePage, ProfileChoiceSetsThePositionsAndSelectsTheProfileAgain)
{
    struct Case {
        int item;
        unsigned totalMB;
        const char* positions;
        const char* texts;
    };
    const std::vector<Case> cases = {
        {1, 64, "2,8,16", "2048,8192,512"}, {2, 64, "4,12,32", "4096,12288,1024"}, {3, 64, "2,6,128", "2048,6144,4096"},
        {4, 127, "0,6,32", "0,6144,1024"},  {4, 128, "0,6,64", "0,6144,2048"},     {5, 64, "5,5,8", "5120,5120,256"},
        {6, 64, "0,4,8", "0,4096,256"},     {2, 4, "4,4,32", "4096,4096,1024"},
    };
    for (const auto& c : cases) {
        const std::string label = "item " + std::to_string(c.item) + " with " + std::to_string(c.totalMB) + " MB";
        FormHarness h(c.totalMB);
        StoreCache(h, "1024", "1024", "32");  // positions 1,1,1: every profile moves every slider but one
        TForm1& f = h.Start();
        f.DiskCache.ComboBox1.UserSelect(c.item);
        EXPECT_EQ(Positions(f), c.positions) << label;
        EXPECT_EQ(Texts(f), c.texts) << label;
        EXPECT_EQ(Labels(f), WithKb(c.texts)) << label;
        EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), c.item) << label;
        EXPECT_TRUE(f.RestartPending) << label;
        EXPECT_TRUE(f.Button2.Enabled()) << label;
    }
}

TEST(DiskCachePage, ProfileChoiceMarksTheRestartFirstAndRunsEachMovingSlidersHandler)
{
    FormHarness h(64);
    StoreCache(h, "2048", "1024", "32");
    TForm1& f = h.Start();
    auto& disk = f.DiskCache;
    EffectRecorder recorder(f, {&f.Button2, &disk.RxSlider3, &disk.RxSlider4, &disk.RxSlider5, &disk.Label16,
                                &disk.Label17, &disk.Label30, &disk.ComboBox1});
    disk.ComboBox1.UserSelect(1);
    EXPECT_EQ(recorder.effects,
              (Lines{"ComboBox1=1", "Button2=on R", "RxSlider4=8 R", "Label17=8192 kb R", "ComboBox1=0 R",
                     "RxSlider5=16 R", "Label30=512 kb R", "ComboBox1=0 R", "ComboBox1=1 R"}));
}

TEST(DiskCachePage, ChoosingTheCurrentProfileKeepsOddTextsYetMarksTheChange)
{
    FormHarness h(64);
    StoreCache(h, "1000", "4096", "256");  // 1000 kb stands at 0, where the slider already is
    TForm1& f = h.Start();
    ASSERT_EQ(f.DiskCache.ComboBox1.ItemIndex(), 6);
    f.DiskCache.ComboBox1.UserSelect(6);
    EXPECT_EQ(Texts(f), "1000,4096,256");
    EXPECT_EQ(Labels(f), "1000 kb,4096 kb,256 kb");
    EXPECT_TRUE(f.RestartPending);
    EXPECT_TRUE(f.Button2.Enabled());
    h.Apply();
    EXPECT_EQ(h.machine.profile.Get("vcache", "MinFileCache"), "1000");
}

TEST(DiskCachePage, UserDefinedOrTypedTextMovesNoSliderButMarksTheChange)
{
    for (const bool typed : {false, true}) {
        FormHarness h(64);
        StoreCache(h, "4096", "12288", "1024");
        TForm1& f = h.Start();
        if (typed) {
            f.DiskCache.ComboBox1.UserType("Mine");
        } else {
            f.DiskCache.ComboBox1.UserSelect(0);
        }
        EXPECT_EQ(Positions(f), "4,12,32") << typed;
        EXPECT_EQ(Labels(f), "4096 kb,12288 kb,1024 kb") << typed;
        EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), typed ? -1 : 0);
        EXPECT_TRUE(f.RestartPending) << typed;
        EXPECT_TRUE(f.Button2.Enabled()) << typed;
    }
}

TEST(DiskCachePage, AutomaticChoosesByMemoryAndMarksOnlyThroughMovingSliders)
{
    struct Case {
        unsigned totalMB;
        const char* stored[3];
        const char* positions;
        int item;
        bool marked;
    };
    const std::vector<Case> cases = {
        {64, {"0", "0", "0"}, "4,12,32", 2, true},
        {63, {"0", "0", "0"}, "2,8,16", 1, true},
        {32, {"0", "0", "0"}, "2,8,16", 1, true},
        {31, {"0", "0", "0"}, "0,4,8", 6, true},
        {64, {"4096", "12288", "1024"}, "4,12,32", 2, false},
        {31, {"0", "4096", "256"}, "0,4,8", 6, false},
        {64, {"4096", "12288", "1000"}, "4,12,32", 2, true},  // 1000 kb stands at 31
    };
    for (const auto& c : cases) {
        const std::string label =
            std::to_string(c.totalMB) + " MB from " + c.stored[0] + "," + c.stored[1] + "," + c.stored[2];
        FormHarness h(c.totalMB);
        StoreCache(h, c.stored[0], c.stored[1], c.stored[2]);
        TForm1& f = h.Start();
        f.DiskCache.ComboBox1.SetItemIndex(0);
        f.DiskCache.Button4.Click();
        EXPECT_EQ(Positions(f), c.positions) << label;
        EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), c.item) << label;
        EXPECT_EQ(f.RestartPending, c.marked) << label;
        EXPECT_EQ(f.Button2.Enabled(), c.marked) << label;
    }
}

TEST(DiskCachePage, ProfileBeyondTheMemoryClampsAndIsNotRecognisedOnReload)
{
    FormHarness h(4);
    TForm1& f = h.Start();
    f.DiskCache.ComboBox1.UserSelect(2);
    EXPECT_EQ(Positions(f), "4,4,32");
    EXPECT_EQ(Texts(f), "4096,4096,1024");
    EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), 2);
    h.Apply();
    EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), 0);
}

TEST(DiskCachePage, MovingASliderByHandSelectsUserDefinedEvenOnAProfilesPositions)
{
    FormHarness h(64);
    StoreCache(h, "2048", "8192", "320");
    TForm1& f = h.Start();
    f.DiskCache.RxSlider5.DragTo(16);
    EXPECT_EQ(Positions(f), "2,8,16");
    EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), 0);
    h.Apply();
    EXPECT_EQ(f.DiskCache.ComboBox1.ItemIndex(), 1) << "recognised again at the next load";
}

TEST(DiskCachePage, MinimumMovedToZeroShowsZeroAndIsDeletedOnSave)
{
    FormHarness h(64);
    StoreCache(h, "2048", "8192", "512");
    TForm1& f = h.Start();
    f.DiskCache.RxSlider3.KeyDown(SliderKey::Home);
    EXPECT_EQ(f.Tuning.MinFileCacheText, "0");
    EXPECT_EQ(f.DiskCache.Label16.Caption(), "0 kb");
    h.Apply();
    EXPECT_FALSE(h.machine.profile.Has("vcache", "MinFileCache"));
    EXPECT_EQ(h.machine.profile.Get("vcache", "MaxFileCache"), "8192");
}

}  // namespace
}  // namespace lumora

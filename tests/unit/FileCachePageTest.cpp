// The File Cache page: layout, slider handlers, role choice with exact sizes, "Automatic".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "unit/LayoutCheck.h"
#include "unit/TuningHarness.h"

namespace lumora {
namespace {

using testing::EffectRecorder;
using testing::FormHarness;
using testing::kTemplatesKey;
using testing::Raw;
using testing::TemplateKey;
using Lines = std::vector<std::string>;

// TemplateName|item|positions|sizes|labels
std::string Shown(const TForm1& f)
{
    const auto& file = f.FileCache;
    return f.Tuning.TemplateName + "|" + std::to_string(file.ComboBox2.ItemIndex()) + "|" +
           std::to_string(file.RxSlider6.Value()) + "," + std::to_string(file.RxSlider7.Value()) + "|" +
           std::to_string(f.Tuning.NameCacheSize) + "," + std::to_string(f.Tuning.PathCacheSize) + "|" +
           file.Label4.Caption() + "," + file.Label5.Caption();
}

// A started window whose template "Custom" holds the given sizes.
TForm1& StartWithSizes(FormHarness& h, int nameCache, int pathCache)
{
    h.machine.registry.PutString(kTemplatesKey, "", "Custom");
    h.machine.registry.Put(TemplateKey("Custom"), "NameCache", kRegBinary,
                           Raw({nameCache & 0xFF, (nameCache >> 8) & 0xFF, 0, 0}));
    h.machine.registry.Put(TemplateKey("Custom"), "PathCache", kRegBinary, Raw({pathCache & 0xFF, 0, 0, 0}));
    return h.Start();
}

TEST(FileCachePage, LayoutFollowsTheDesign)
{
    testing::DesignedForm designed;
    const TForm1& f = designed.form;
    const auto& file = f.FileCache;
    testing::ExpectLayout(
        {
            {&file.Label55, {16, 24, 0, 0}, "Name Cache :", -1},
            {&file.Label4, {88, 24, 0, 0}, "0 ", -1},
            {&file.RxSlider6, {8, 40, 377, 33}, "", 0},
            {&file.Label56, {16, 88, 0, 0}, "Directory Cache :", -1},
            {&file.Label5, {102, 88, 0, 0}, "0 ", -1},
            {&file.RxSlider7, {8, 104, 377, 33}, "", 1},
            {&file.Label54, {16, 224, 0, 0}, "Typical Role of this Computer", -1},
            {&file.ComboBox2, {16, 240, 185, 0}, "", 2},
            {&file.Button6, {148, 344, 75, 25}, "Automatic", 3},
        },
        f.TabSheet7);
    const auto range = [](const TRxSlider& s) { return std::vector<int>({s.MinValue(), s.MaxValue(), s.Increment()}); };
    EXPECT_EQ(range(file.RxSlider6), std::vector<int>({0, 12, 2}));
    EXPECT_EQ(range(file.RxSlider7), std::vector<int>({0, 16, 2}));
    EXPECT_EQ(file.ComboBox2.Items(),
              (Lines{"User Defined", "Desktop Computer", "Mobile or docking system", "Network Server"}));
    EXPECT_EQ(f.TabSheet7.Caption(), "File Cache");
}

TEST(FileCachePage, SliderHandlersSetTheGridSizeChooseUserDefinedThenMarkTheRestart)
{
    struct Case {
        TRxSlider FileCachePage::*slider;
        Lines effects;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {&FileCachePage::RxSlider6, {"Button2=on", "Label4=1024", "ComboBox2=0"}, "Desktop|0|2,4|1024,32|1024,32"},
        {&FileCachePage::RxSlider7, {"Button2=on", "Label5=48", "ComboBox2=0"}, "Desktop|0|1,6|677,48|677,48"},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        h.machine.registry.PutString(kTemplatesKey, "", "Desktop");
        TForm1& f = h.Start();
        TRxSlider& slider = f.FileCache.*c.slider;
        EffectRecorder recorder(f, {&f.Button2, &f.FileCache.Label4, &f.FileCache.Label5, &f.FileCache.ComboBox2});
        slider.KeyDown(SliderKey::Right);
        EXPECT_EQ(recorder.effects, c.effects) << slider.Name() << ": the restart mark comes last";
        EXPECT_TRUE(f.RestartPending) << slider.Name();
        EXPECT_EQ(Shown(f), c.shown) << slider.Name() << ": the template name stays";
    }
}

TEST(FileCachePage, RoleChoiceShowsTheRolesExactSizes)
{
    struct Case {
        int item;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {1, "Desktop|1|1,4|677,32|677,32"},
        {2, "Mobile|2|0,2|337,16|337,16"},
        {3, "Server|3|5,8|2729,64|2729,64"},
        {0, "Lumora|0|3,3|1600,24|1600,24"},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        TForm1& f = StartWithSizes(h, 1600, 24);
        f.FileCache.ComboBox2.UserSelect(c.item);
        EXPECT_EQ(Shown(f), c.shown) << "item " << c.item;
        EXPECT_TRUE(f.RestartPending) << "item " << c.item;
        EXPECT_TRUE(f.Button2.Enabled()) << "item " << c.item;
    }
}

TEST(FileCachePage, RoleChoiceMarksFirstAndLetsTheSliderHandlersRunBeforeTheExactSizes)
{
    FormHarness h(64);
    TForm1& f = StartWithSizes(h, 1600, 24);
    auto& file = f.FileCache;
    EffectRecorder recorder(
        f, {&f.Button2, &file.RxSlider6, &file.RxSlider7, &file.Label4, &file.Label5, &file.ComboBox2});
    file.ComboBox2.UserSelect(3);
    EXPECT_EQ(recorder.effects,
              (Lines{"ComboBox2=3", "Button2=on R", "RxSlider6=5 R", "Label4=2560 R", "ComboBox2=0 R", "RxSlider7=8 R",
                     "Label5=64 R", "ComboBox2=0 R", "ComboBox2=3 R", "Label4=2729 R"}));
}

TEST(FileCachePage, TypedRoleChangesNothingButTheMarks)
{
    FormHarness h(64);
    TForm1& f = StartWithSizes(h, 1600, 24);
    f.FileCache.ComboBox2.UserType("Workstation");
    EXPECT_EQ(Shown(f), "Custom|-1|3,3|1600,24|1600,24");
    EXPECT_TRUE(f.RestartPending);
    EXPECT_TRUE(f.Button2.Enabled());
}

TEST(FileCachePage, MovingTheNameSliderAfterARoleReplacesItsExactSize)
{
    FormHarness h(64);
    TForm1& f = h.Start();
    f.FileCache.ComboBox2.UserSelect(1);
    ASSERT_EQ(Shown(f), "Desktop|1|1,4|677,32|677,32");
    f.FileCache.RxSlider6.KeyDown(SliderKey::Right);
    EXPECT_EQ(Shown(f), "Desktop|0|2,4|1024,32|1024,32");
    h.Apply();
    EXPECT_EQ(h.machine.registry.String(kTemplatesKey, ""), "Lumora");
    EXPECT_EQ(h.machine.registry.Find(TemplateKey("Lumora"), "NameCache")->data, Raw({0x00, 0x04, 0, 0}));
    EXPECT_EQ(h.machine.registry.Find(TemplateKey("Lumora"), "PathCache")->data, Raw({0x20, 0, 0, 0}));
}

TEST(FileCachePage, AutomaticChoosesTheRoleByMemoryEvenWhenNoSliderMoves)
{
    struct Case {
        unsigned totalMB;
        int nameCache, pathCache;
        const char* shown;
    };
    const std::vector<Case> cases = {
        {63, 0, 0, "Desktop|1|1,4|677,32|677,32"},
        {64, 0, 0, "Server|3|5,8|2729,64|2729,64"},
        {63, 600, 33, "Desktop|1|1,4|677,32|677,32"},  // already at the role's positions
        {64, 2600, 70, "Server|3|5,8|2729,64|2729,64"},
    };
    for (const auto& c : cases) {
        const std::string label = std::to_string(c.totalMB) + " MB from " + std::to_string(c.nameCache);
        FormHarness h(c.totalMB);
        TForm1& f = StartWithSizes(h, c.nameCache, c.pathCache);
        f.FileCache.Button6.Click();
        EXPECT_EQ(Shown(f), c.shown) << label;
        EXPECT_TRUE(f.RestartPending) << label;
        EXPECT_TRUE(f.Button2.Enabled()) << label;
    }
}

TEST(FileCachePage, ArrowKeysStepFromTheRolePositionsAndTheEndsGiveTheLargestSizes)
{
    struct Case {
        int item;
        SliderKey key;
        int position;
    };
    const std::vector<Case> cases = {
        {3, SliderKey::Right, 6},
        {3, SliderKey::Left, 2},
        {1, SliderKey::Right, 2},
        {1, SliderKey::Left, 0},
    };
    for (const auto& c : cases) {
        FormHarness h(64);
        TForm1& f = h.Start();
        f.FileCache.ComboBox2.UserSelect(c.item);
        f.FileCache.RxSlider6.KeyDown(c.key);
        EXPECT_EQ(f.FileCache.RxSlider6.Value(), c.position) << "item " << c.item;
        EXPECT_EQ(f.Tuning.NameCacheSize, c.position * 512) << "item " << c.item;
    }
    FormHarness h(64);
    TForm1& f = h.Start();
    f.FileCache.RxSlider6.KeyDown(SliderKey::End);
    f.FileCache.RxSlider7.KeyDown(SliderKey::End);
    EXPECT_EQ(f.FileCache.Label4.Caption(), "6144");
    EXPECT_EQ(f.FileCache.Label5.Caption(), "128");
}

}  // namespace
}  // namespace lumora

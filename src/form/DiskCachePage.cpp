// The Disk Cache page: SYSTEM.INI's disk cache limits and chunk size, with named profiles.
#include <cstdint>
#include <string>

#include "form/TForm1.h"
#include "core/Numbers.h"

namespace lumora {

namespace {

struct CachePositions {
    std::int32_t minimum, maximum, chunk;
};

// Positions of profile items 1 to 6 ("User Defined" has none of its own).
CachePositions ProfilePositions(int item, std::uint16_t totalMB)
{
    const CachePositions rows[] = {
        {2, 8, 16},                             // "Standard System"
        {4, 12, 32},                            // "Power User"
        {2, 6, 128},                            // "Multimedia"
        {0, 6, totalMB < 128 ? 32 : 64},        // "Gaming System"
        {5, 5, 8},                              // "CD Writer"
        {0, 4, 8},                              // "Low Memory System"
    };
    return rows[item - 1];
}

}  // namespace

void TForm1::PlaceCacheSliders(std::initializer_list<CacheSliderRow> rows, int increment)
{
    for (const CacheSliderRow& row : rows) {
        row.slider->SetBounds({8, row.top, 377, 33});
        row.slider->tabOrder = row.tabOrder;
        row.slider->SetMinValue(0);
        row.slider->SetIncrement(increment);
        row.slider->SetMaxValue(row.max);
        const auto change = row.change;
        row.slider->OnChange = [this, change] { (this->*change)(); };
    }
}

void TForm1::BuildDiskCachePage()
{
    PlaceLabels({
        {&Label3, 16, 24, "Minimum Cache Size :"},
        {&Label16, 128, 24, "0 kb"},
        {&Label10, 16, 88, "Maximum Cache Size  :"},
        {&Label17, 136, 88, "0 kb"},
        {&Label11, 16, 152, "Chunk Size :"},
        {&Label30, 80, 152, "0 kb"},
        {&Label49, 16, 224, "Your system profile is "},
    });

    // The two cache limits' maxima of 100 become TotalPhysMB at start-up.
    PlaceCacheSliders(
        {
            {&RxSlider3, 40, 2, 100, &TForm1::RxSlider3Change},
            {&RxSlider4, 104, 0, 100, &TForm1::RxSlider4Change},
            {&RxSlider5, 168, 1, 128, &TForm1::RxSlider5Change},
        },
        10);

    ComboBox1.SetBounds({16, 240, 185, 0});
    ComboBox1.tabOrder = 3;
    ComboBox1.SetItems({"User Defined", "Standard System", "Power User", "Multimedia", "Gaming System", "CD Writer",
                        "Low Memory System"});
    ComboBox1.OnChange = [this] { ComboBox1Change(); };

    Button4.SetCaption("Automatic");
    Button4.SetBounds({148, 344, 75, 25});
    Button4.tabOrder = 4;
    Button4.OnClick = [this] { Button4Click(); };
}

void TForm1::RxSlider3Change()
{
    Button2.SetEnabled(true);
    MinFileCacheText = ToDecimal(std::int64_t{RxSlider3.Value()} * 1024);
    Label16.SetCaption(MinFileCacheText + " kb");
    ComboBox1.SetItemIndex(0);
    RestartPending = true;
}

void TForm1::RxSlider4Change()
{
    Button2.SetEnabled(true);
    MaxFileCacheText = ToDecimal(std::int64_t{RxSlider4.Value()} * 1024);
    Label17.SetCaption(MaxFileCacheText + " kb");
    ComboBox1.SetItemIndex(0);
    RestartPending = true;
}

void TForm1::RxSlider5Change()
{
    Button2.SetEnabled(true);
    ChunkSizeText = ToDecimal(std::int64_t{RxSlider5.Value()} * 32);
    Label30.SetCaption(ChunkSizeText + " kb");
    ComboBox1.SetItemIndex(0);
    RestartPending = true;
}

void TForm1::ComboBox1Change()
{
    RestartPending = true;
    Button2.SetEnabled(true);
    const int item = ComboBox1.ItemIndex();
    // "User Defined", or text typed into the box (no item), leaves the sliders alone.
    if (item >= 1 && item <= 6) {
        const CachePositions p = ProfilePositions(item, TotalPhysMB);
        RxSlider3.SetValue(p.minimum);
        RxSlider4.SetValue(p.maximum);
        RxSlider5.SetValue(p.chunk);
        // The sliders' handlers chose "User Defined" on the way.
        ComboBox1.SetItemIndex(item);
    }
    Label16.SetCaption(MinFileCacheText + " kb");
    Label17.SetCaption(MaxFileCacheText + " kb");
    Label30.SetCaption(ChunkSizeText + " kb");
}

void TForm1::Button4Click()
{
    // Restart flag and Apply follow only from the sliders that actually move.
    constexpr int kStandard = 1, kPowerUser = 2, kLowMemory = 6;
    int item = kLowMemory;
    if (TotalPhysMB >= 64) {
        item = kPowerUser;
    } else if (TotalPhysMB >= 32) {
        item = kStandard;
    }
    const CachePositions p = ProfilePositions(item, TotalPhysMB);
    RxSlider3.SetValue(p.minimum);
    RxSlider4.SetValue(p.maximum);
    RxSlider5.SetValue(p.chunk);
    ComboBox1.SetItemIndex(item);
}

}  // namespace lumora

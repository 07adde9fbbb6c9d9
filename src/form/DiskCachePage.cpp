// The Disk Cache page: SYSTEM.INI's disk cache limits and chunk size, with named profiles.
#include "form/DiskCachePage.h"

#include <cstdint>
#include <string>

#include "core/Numbers.h"
#include "form/DescriptionTable.h"
#include "form/TForm1.h"
#include "tuning/CacheTables.h"

namespace lumora {

namespace {

// The slider position of a cache text; a text that is not a whole number stands at 0.
std::int32_t CachePosition(const std::string& text, std::int32_t unit)
{
    std::int32_t value = 0;
    if (!ParseWholeNumber(text, value)) return 0;
    return value / unit;
}

std::string Kilobytes(const std::string& text)
{
    return text + " kb";
}

}  // namespace

DiskCachePage::DiskCachePage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
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
            {&RxSlider3, 40, 2, 100, On(&DiskCachePage::RxSlider3Change), On(&DiskCachePage::RxSlider3MouseMove)},
            {&RxSlider4, 104, 0, 100, On(&DiskCachePage::RxSlider4Change), On(&DiskCachePage::RxSlider4MouseMove)},
            {&RxSlider5, 168, 1, 128, On(&DiskCachePage::RxSlider5Change), On(&DiskCachePage::RxSlider5MouseMove)},
        },
        10);

    std::vector<std::string> items(kDiskProfileCount + 1, kUserDefined);
    for (int item = 1; item <= kDiskProfileCount; ++item) {
        items[static_cast<std::size_t>(item)] = DiskProfile(item, 0).item;
    }
    PlaceProfileBox(ComboBox1, 3, std::move(items), On(&DiskCachePage::ComboBox1Change));
    PlaceAutomaticButton(Button4, 4, On(&DiskCachePage::Button4Click));

    // The caption and value labels, the profile box and the button keep what the Description
    // box shows.
    BindMouseMove(Sheet, On(&DiskCachePage::TabSheet4MouseMove));
}

void DiskCachePage::ShowLoaded(const TuningStore& tuning)
{
    // A position change rewrites its text to the grid value; a slider that does not move
    // leaves the text exactly as stored.
    RxSlider3.SetValue(CachePosition(tuning.MinFileCacheText, kKbPerCachePosition));
    RxSlider4.SetValue(CachePosition(tuning.MaxFileCacheText, kKbPerCachePosition));
    RxSlider5.SetValue(CachePosition(tuning.ChunkSizeText, kKbPerChunkPosition));
    ShowTexts();
    ComboBox1.SetItemIndex(
        RecogniseDiskProfile(RxSlider3.Value(), RxSlider4.Value(), RxSlider5.Value(), form_.TotalPhysMB));
}

void DiskCachePage::ShowTexts()
{
    const TuningStore& tuning = form_.Tuning;
    Label16.SetCaption(Kilobytes(tuning.MinFileCacheText));
    Label17.SetCaption(Kilobytes(tuning.MaxFileCacheText));
    Label30.SetCaption(Kilobytes(tuning.ChunkSizeText));
}

void DiskCachePage::TakePositionAndMarkRestart(const TRxSlider& slider, std::int32_t unit, std::string& text,
                                               TLabel& label)
{
    form_.Button2.SetEnabled(true);
    text = ToDecimal(std::int64_t{slider.Value()} * unit);
    ShowCustomCacheValueAndMarkRestart(label, Kilobytes(text), ComboBox1);
}

void DiskCachePage::RxSlider3Change()
{
    TakePositionAndMarkRestart(RxSlider3, kKbPerCachePosition, form_.Tuning.MinFileCacheText, Label16);
}

void DiskCachePage::RxSlider4Change()
{
    TakePositionAndMarkRestart(RxSlider4, kKbPerCachePosition, form_.Tuning.MaxFileCacheText, Label17);
}

void DiskCachePage::RxSlider5Change()
{
    TakePositionAndMarkRestart(RxSlider5, kKbPerChunkPosition, form_.Tuning.ChunkSizeText, Label30);
}

void DiskCachePage::MoveSliders(int item)
{
    const DiskCacheProfile p = DiskProfile(item, form_.TotalPhysMB);
    RxSlider3.SetValue(p.minimum);
    RxSlider4.SetValue(p.maximum);
    RxSlider5.SetValue(p.chunk);
}

void DiskCachePage::ComboBox1Change()
{
    form_.RestartPending = true;
    form_.Button2.SetEnabled(true);
    const int item = ComboBox1.ItemIndex();
    // "User Defined", or text typed into the box (no item), leaves the sliders alone.
    if (item >= 1 && item <= kDiskProfileCount) {
        MoveSliders(item);
        // The sliders' handlers chose "User Defined" on the way.
        ComboBox1.SetItemIndex(item);
    }
    ShowTexts();
}

void DiskCachePage::Button4Click()
{
    // Restart flag and Apply follow only from the sliders that actually move.
    int item = kLowMemorySystem;
    if (form_.TotalPhysMB >= 64) {
        item = kPowerUser;
    } else if (form_.TotalPhysMB >= 32) {
        item = kStandardSystem;
    }
    MoveSliders(item);
    ComboBox1.SetItemIndex(item);
}

void DiskCachePage::RxSlider3MouseMove(int, int)
{
    form_.ShowDescription(kMinimumCache);
}
void DiskCachePage::RxSlider4MouseMove(int, int)
{
    form_.ShowDescription(kMaximumCache);
}
void DiskCachePage::RxSlider5MouseMove(int, int)
{
    form_.ShowDescription(kChunkSize);
}
void DiskCachePage::TabSheet4MouseMove(int, int)
{
    form_.ShowDescription(kNoDescription);
}

}  // namespace lumora

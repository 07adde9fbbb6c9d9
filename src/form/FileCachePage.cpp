// The File Cache page: the file system's name and directory cache sizes and its template roles.
#include "form/FileCachePage.h"

#include <iterator>

#include "core/Numbers.h"
#include "form/DescriptionTable.h"
#include "form/TForm1.h"
#include "tuning/CacheTables.h"

namespace lumora {

FileCachePage::FileCachePage(TForm1& form, TTabSheet& sheet) : FormPage(form, sheet)
{
    PlaceLabels({
        {&Label55, 16, 24, "Name Cache :"},
        {&Label4, 88, 24, "0 "},
        {&Label56, 16, 88, "Directory Cache :"},
        {&Label5, 102, 88, "0 "},
        {&Label54, 16, 224, "Typical Role of this Computer"},
    });

    PlaceCacheSliders(
        {
            {&RxSlider6, 40, 0, 12, On(&FileCachePage::RxSlider6Change), On(&FileCachePage::RxSlider6MouseMove)},
            {&RxSlider7, 104, 1, 16, On(&FileCachePage::RxSlider7Change), On(&FileCachePage::RxSlider7MouseMove)},
        },
        2);

    std::vector<std::string> items(std::size(kFileSystemRoles) + 1, kUserDefined);
    for (std::size_t role = 0; role < std::size(kFileSystemRoles); ++role) {
        items[role + 1] = kFileSystemRoles[role].item;
    }
    PlaceProfileBox(ComboBox2, 2, std::move(items), On(&FileCachePage::ComboBox2Change));
    PlaceAutomaticButton(Button6, 3, On(&FileCachePage::Button6Click));

    BindMouseMove(Sheet, On(&FileCachePage::TabSheet7MouseMove));
}

void FileCachePage::ShowLoaded(TuningStore& tuning)
{
    const std::int32_t nameRead = tuning.NameCacheSize;
    const std::int32_t pathRead = tuning.PathCacheSize;
    // The sliders' handlers replace the sizes by their grid values; the exact sizes are put
    // back after them. Windows' "Desktop" template is always shown with its fixed sizes; going
    // there directly, rather than through the stored sizes' positions, keeps the reload after
    // an Apply from moving the sliders (and from asking for a restart) when nothing changed.
    const int role = RoleOfTemplate(tuning.TemplateName);
    const FileSystemRole& desktop = kFileSystemRoles[kDesktopRole - 1];
    const bool isDesktop = role == kDesktopRole;
    RxSlider6.SetValue(isDesktop ? desktop.namePosition : nameRead / kNamesPerPosition);
    RxSlider7.SetValue(isDesktop ? desktop.pathPosition : pathRead / kPathsPerPosition);
    tuning.NameCacheSize = isDesktop ? desktop.nameCache : nameRead;
    tuning.PathCacheSize = isDesktop ? desktop.pathCache : pathRead;
    ShowCacheSizes();
    ComboBox2.SetItemIndex(role);
    // The sliders' handlers ran for the load, not for the user.
    edited_ = false;
}

void FileCachePage::Collect(TuningChoices& c) const
{
    c.role = ComboBox2.ItemIndex();
    c.fileCacheEdited = edited_;
}

void FileCachePage::ShowCacheSizes()
{
    Label4.SetCaption(ToDecimal(form_.Tuning.NameCacheSize));
    Label5.SetCaption(ToDecimal(form_.Tuning.PathCacheSize));
}

void FileCachePage::TakePositionAndMarkRestart(const TRxSlider& slider, std::int32_t unit, std::int32_t& size,
                                               TLabel& label)
{
    edited_ = true;
    form_.Button2.SetEnabled(true);
    size = slider.Value() * unit;
    // TemplateName stays: with "User Defined" shown, the save writes the own template anyway.
    ShowCustomCacheValueAndMarkRestart(label, ToDecimal(size), ComboBox2);
}

void FileCachePage::RxSlider6Change()
{
    TakePositionAndMarkRestart(RxSlider6, kNamesPerPosition, form_.Tuning.NameCacheSize, Label4);
}

void FileCachePage::RxSlider7Change()
{
    TakePositionAndMarkRestart(RxSlider7, kPathsPerPosition, form_.Tuning.PathCacheSize, Label5);
}

// The sliders' handlers, where a position moves, set the grid sizes and "User Defined" first;
// the role's exact values and its item then replace them.
void FileCachePage::ApplyRole(int item)
{
    const FileSystemRole& row = kFileSystemRoles[item - 1];
    TuningStore& tuning = form_.Tuning;
    RxSlider6.SetValue(row.namePosition);
    tuning.NameCacheSize = row.nameCache;
    RxSlider7.SetValue(row.pathPosition);
    tuning.PathCacheSize = row.pathCache;
    tuning.TemplateName = row.templateName;
    ComboBox2.SetItemIndex(item);
}

void FileCachePage::ComboBox2Change()
{
    edited_ = true;
    form_.RestartPending = true;
    form_.Button2.SetEnabled(true);
    const int item = ComboBox2.ItemIndex();
    // Text typed into the box selects no item and changes nothing but the two flags.
    if (item == 0) {
        form_.Tuning.TemplateName = TuningStore::kOwnTemplate;
    } else if (item >= 1 && item <= static_cast<int>(std::size(kFileSystemRoles))) {
        ApplyRole(item);
    }
    ShowCacheSizes();
}

void FileCachePage::Button6Click()
{
    edited_ = true;
    form_.RestartPending = true;
    form_.Button2.SetEnabled(true);
    ApplyRole(form_.TotalPhysMB < 64 ? kDesktopRole : kServerRole);
    ShowCacheSizes();
}

void FileCachePage::RxSlider6MouseMove(int, int)
{
    form_.ShowDescription(kNameCache);
}
void FileCachePage::RxSlider7MouseMove(int, int)
{
    form_.ShowDescription(kDirectoryCache);
}
void FileCachePage::TabSheet7MouseMove(int, int)
{
    form_.ShowDescription(kNoDescription);
}

}  // namespace lumora

// The File Cache page: the file system's name and directory cache sizes and its template roles.
#include <cstdint>
#include <string>

#include "form/TForm1.h"
#include "core/Numbers.h"

namespace lumora {

namespace {

struct RoleRow {
    const char* templateName;
    std::int32_t namePosition, nameCache, pathPosition, pathCache;
};

// Roles 1 to 3, after Windows' own templates. Their name cache sizes lie off the slider's grid
// of 512: the slider shows the position below and the size stays exact.
const RoleRow kRoles[] = {
    {"Desktop", 1, 677, 4, 32},
    {"Mobile", 0, 337, 2, 16},
    {"Server", 5, 2729, 8, 64},
};

constexpr int kDesktopRole = 1;
constexpr int kServerRole = 3;

}  // namespace

void TForm1::BuildFileCachePage()
{
    PlaceLabels({
        {&Label55, 16, 24, "Name Cache :"},  {&Label4, 88, 24, "0 "},
        {&Label56, 16, 88, "Directory Cache :"}, {&Label5, 102, 88, "0 "},
        {&Label54, 16, 224, "Typical Role of this Computer"},
    });

    PlaceCacheSliders(
        {
            {&RxSlider6, 40, 0, 12, &TForm1::RxSlider6Change},
            {&RxSlider7, 104, 1, 16, &TForm1::RxSlider7Change},
        },
        2);

    ComboBox2.SetBounds({16, 240, 185, 0});
    ComboBox2.tabOrder = 2;
    ComboBox2.SetItems({"User Defined", "Desktop Computer", "Mobile or docking system", "Network Server"});
    ComboBox2.OnChange = [this] { ComboBox2Change(); };

    Button6.SetCaption("Automatic");
    Button6.SetBounds({148, 344, 75, 25});
    Button6.tabOrder = 3;
    Button6.OnClick = [this] { Button6Click(); };
}

void TForm1::RxSlider6Change()
{
    fileCacheEdited_ = true;
    Button2.SetEnabled(true);
    NameCacheSize = RxSlider6.Value() * 512;
    Label4.SetCaption(ToDecimal(NameCacheSize));
    // TemplateName stays: with "User Defined" shown, the save writes the own template anyway.
    ComboBox2.SetItemIndex(0);
    RestartPending = true;
}

void TForm1::RxSlider7Change()
{
    fileCacheEdited_ = true;
    Button2.SetEnabled(true);
    PathCacheSize = RxSlider7.Value() * 8;
    Label5.SetCaption(ToDecimal(PathCacheSize));
    ComboBox2.SetItemIndex(0);
    RestartPending = true;
}

namespace {

// Puts a role's sizes on the page. The sliders' handlers, where a position moves, set the grid
// sizes and "User Defined" first; the role's exact values and its item then replace them.
void ApplyRole(TForm1& form, int item)
{
    const RoleRow& row = kRoles[item - 1];
    form.RxSlider6.SetValue(row.namePosition);
    form.NameCacheSize = row.nameCache;
    form.RxSlider7.SetValue(row.pathPosition);
    form.PathCacheSize = row.pathCache;
    form.TemplateName = row.templateName;
    form.ComboBox2.SetItemIndex(item);
}

void ShowCacheSizes(TForm1& form)
{
    form.Label4.SetCaption(ToDecimal(form.NameCacheSize));
    form.Label5.SetCaption(ToDecimal(form.PathCacheSize));
}

}  // namespace

void TForm1::ComboBox2Change()
{
    fileCacheEdited_ = true;
    RestartPending = true;
    Button2.SetEnabled(true);
    const int item = ComboBox2.ItemIndex();
    // Text typed into the box selects no item and changes nothing but the two flags.
    if (item == 0) {
        TemplateName = "Lumora";
    } else if (item >= 1 && item <= 3) {
        ApplyRole(*this, item);
    }
    ShowCacheSizes(*this);
}

void TForm1::Button6Click()
{
    fileCacheEdited_ = true;
    RestartPending = true;
    Button2.SetEnabled(true);
    ApplyRole(*this, TotalPhysMB < 64 ? kDesktopRole : kServerRole);
    ShowCacheSizes(*this);
}

}  // namespace lumora

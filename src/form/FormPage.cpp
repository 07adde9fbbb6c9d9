// What every page of the main window shares: event binding and the rows of like controls.
#include "form/FormPage.h"

#include <utility>

#include "form/TForm1.h"

namespace lumora {

void FormPage::Bind(std::function<void()>& event, Handler handler)
{
    event = [this, handler] { (this->*handler)(); };
}

void FormPage::BindMouseMove(TControl& control, MouseHandler handler)
{
    control.OnMouseMove = [this, handler](int x, int y) { (this->*handler)(x, y); };
}

void FormPage::PlaceCheckBoxes(std::initializer_list<CheckBoxRow> rows)
{
    for (const CheckBoxRow& row : rows) {
        row.box->SetCaption(row.caption);
        row.box->SetBounds({16, row.top, row.width, 17});
        row.box->tabOrder = row.tabOrder;
        Bind(row.box->OnClick, row.click);
        BindMouseMove(*row.box, row.mouseMove);
    }
}

void FormPage::PlaceCacheSliders(std::initializer_list<CacheSliderRow> rows, int increment)
{
    for (const CacheSliderRow& row : rows) {
        row.slider->SetBounds({8, row.top, 377, 33});
        row.slider->tabOrder = row.tabOrder;
        row.slider->SetMinValue(0);
        row.slider->SetIncrement(increment);
        row.slider->SetMaxValue(row.max);
        Bind(row.slider->OnChange, row.change);
        BindMouseMove(*row.slider, row.mouseMove);
    }
}

void FormPage::ShowCustomCacheValueAndMarkRestart(TLabel& label, const std::string& caption, TComboBox& profileBox)
{
    label.SetCaption(caption);
    profileBox.SetItemIndex(0);
    form_.RestartPending = true;
}

void FormPage::PlaceProfileBox(TComboBox& box, int tabOrder, std::vector<std::string> items, Handler change)
{
    box.SetBounds({16, 240, 185, 0});
    box.tabOrder = tabOrder;
    box.SetItems(std::move(items));
    Bind(box.OnChange, change);
}

void FormPage::PlaceAutomaticButton(TButton& button, int tabOrder, Handler click)
{
    button.SetCaption("Automatic");
    button.SetBounds({148, 344, 75, 25});
    button.tabOrder = tabOrder;
    Bind(button.OnClick, click);
}

}  // namespace lumora

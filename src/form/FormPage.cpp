// What every page of the main window shares: event binding and the rows of like controls.
#include "form/FormPage.h"

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

}  // namespace lumora

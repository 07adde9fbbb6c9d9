// The promotion page ("Brisko v1.8", TabSheet5): the partner product's picture, texts and link.
#pragma once
#include "form/FormPage.h"
#include "ui/Controls.h"

namespace lumora {

class PromotionPage : public FormPage {
public:
    PromotionPage(TForm1& form, TTabSheet& sheet);

    TImage Image1{"Image1", &Sheet};
    TLabel Label50{"Label50", &Sheet};
    TLabel Label44{"Label44", &Sheet};
    TLabel Label45{"Label45", &Sheet};
    TLabel Label46{"Label46", &Sheet};
    TLabel Label51{"Label51", &Sheet};
    TLabel Label52{"Label52", &Sheet};
    TLabel Label53{"Label53", &Sheet};

    void Image1Click();
    void Label53Click();
};

}  // namespace lumora

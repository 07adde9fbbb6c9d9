// The About and promotion pages (being built).
#include "app/TForm1.h"

namespace lumora {

void TForm1::BuildPromotionPage() {}
void TForm1::BuildAboutPage() {}
void TForm1::Label2Click() {}
void TForm1::Label13Click() {}
void TForm1::Image1Click() {}
void TForm1::Label53Click() {}

}  // namespace lumora

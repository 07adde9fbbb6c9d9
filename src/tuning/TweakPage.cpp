// The Tweak page (being built).
#include "app/TForm1.h"

namespace lumora {

void TForm1::BuildTweakPage() {}
void TForm1::CheckBox8Click() {}
void TForm1::CheckBox9Click() {}
void TForm1::CheckBox10Click() {}

}  // namespace lumora

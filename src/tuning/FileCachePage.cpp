// The File Cache page (being built).
#include "app/TForm1.h"

namespace lumora {

void TForm1::BuildFileCachePage() {}
void TForm1::RxSlider6Change() {}
void TForm1::RxSlider7Change() {}
void TForm1::ComboBox2Change() {}
void TForm1::Button6Click() {}

}  // namespace lumora

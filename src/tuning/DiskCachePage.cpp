// The Disk Cache page (being built).
#include "app/TForm1.h"

namespace lumora {

void TForm1::BuildDiskCachePage() {}
void TForm1::RxSlider3Change() {}
void TForm1::RxSlider4Change() {}
void TForm1::RxSlider5Change() {}
void TForm1::ComboBox1Change() {}
void TForm1::Button4Click() {}

}  // namespace lumora

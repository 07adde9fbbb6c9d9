// The tuning halves of ReadData and SaveData (being built).
#include "app/TForm1.h"

namespace lumora {

void TForm1::LoadTuningValues() {}
void TForm1::LoadDiskCacheControls() {}
void TForm1::SaveTuningValues() {}

}  // namespace lumora

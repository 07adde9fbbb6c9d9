// The About page's live figures, refreshed on every tick of Timer1.
#include "app/TForm1.h"

namespace lumora {

void TForm1::Timer1Timer() {}

}  // namespace lumora

// Hover descriptions (being built).
#include "app/TForm1.h"

namespace lumora {

void TForm1::BindDescriptions() {}
void TForm1::ShowDescription(const std::string& line1, const std::string& line2)
{
    Label8.SetCaption(line1);
    Label9.SetCaption(line2);
}
void TForm1::TabSheet1MouseMove(int, int) {}

}  // namespace lumora

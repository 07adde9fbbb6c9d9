// The controls' child-window IDs given to the models, from the shared table.
#include "form/ControlIds.h"

namespace lumora {

void AssignControlIds(TControl& root)
{
    if (const int id = ControlIdOf(root.Name())) root.id = id;
    for (TControl* child : root.Children()) AssignControlIds(*child);
}

}  // namespace lumora

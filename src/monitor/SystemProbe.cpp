// TSystemProbe (being built).
#include "monitor/SystemProbe.h"

namespace lumora {

TSystemProbe::TSystemProbe(Ports& ports) : ports_(ports) {}
TSystemProbe::~TSystemProbe() = default;
void TSystemProbe::Refresh() {}

}  // namespace lumora

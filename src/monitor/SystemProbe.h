// TSystemProbe: snapshots of memory, free resources, 9x dynamic statistics and processes.
#pragma once
#include "platform/Ports.h"

namespace lumora {

class TSystemProbe {
public:
    explicit TSystemProbe(Ports& ports);
    ~TSystemProbe();
    void Refresh();

private:
    Ports& ports_;
};

}  // namespace lumora

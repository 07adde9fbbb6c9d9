// The window's DPI from the screen's and the room it has.
#include "ui/DisplayScale.h"

namespace lumora {

namespace {

bool Fits(int dpi, const WindowFit& fit)
{
    if (fit.workWidth <= 0 || fit.workHeight <= 0) return true;
    return MulDivRounded(fit.clientWidth, dpi, kDesignDpi) + fit.frameWidth <= fit.workWidth &&
           MulDivRounded(fit.clientHeight, dpi, kDesignDpi) + fit.frameHeight <= fit.workHeight;
}

// A DPI at which the side no longer fits, or the screen's when it does at that: the search
// below starts there instead of at any number a broken driver may report.
int UpperBound(int screenDpi, int client, int frame, int work)
{
    if (work <= 0 || client <= 0) return screenDpi;
    const std::int64_t bound = (static_cast<std::int64_t>(work - frame) + 1) * kDesignDpi / client + 1;
    return bound < screenDpi ? static_cast<int>(bound) : screenDpi;
}

}  // namespace

int LayoutDpi(int screenDpi, const WindowFit& fit)
{
    if (screenDpi <= kDesignDpi) return kDesignDpi;
    int dpi = UpperBound(screenDpi, fit.clientWidth, fit.frameWidth, fit.workWidth);
    dpi = UpperBound(dpi, fit.clientHeight, fit.frameHeight, fit.workHeight);
    while (dpi > kDesignDpi && !Fits(dpi, fit)) --dpi;
    return dpi < kDesignDpi ? kDesignDpi : dpi;
}

}  // namespace lumora

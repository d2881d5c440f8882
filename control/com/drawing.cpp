#include "control/com/drawing.h"

namespace kaptor::com {

void drawControl(HDC dc, const RECT& bounds) {
    static constexpr char NAME[] = "KAPTOR V2.0";
    ::FillRect(dc, &bounds, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    ::ExtTextOutA(dc, bounds.left, bounds.top, ETO_CLIPPED, &bounds, NAME, sizeof NAME - 1,
                  nullptr);
}

}  // namespace kaptor::com

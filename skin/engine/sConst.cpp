#include "sConst.h"

const TsControlBevel aControlBevels[5] = {cbNone, cbRaisedSoft, cbLoweredSoft, cbRaisedHard, cbLoweredHard};

TsControlBevel ControlBevelOf(int Value)
{
    return Value >= 0 && Value <= 4 ? aControlBevels[Value] : cbNone;
}

const TCacheInfo EmptyCI{nullptr, -99, -99, false};

#include "sSplitter.h"

TsSplitter::TsSplitter(TComponent* AOwner) : TsSkinned(AOwner, "SPLITTER", 75)
{
}

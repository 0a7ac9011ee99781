#include "sSplitter.h"

TsSplitter::TsSplitter(TComponent* AOwner) : TSplitter(AOwner), TsSkinHolder(this, "SPLITTER", 75)
{
}

#include "sSplitter.h"

#if __has_include("ExtCtrlsPanels.h")
TsSplitter::TsSplitter(TComponent* AOwner) : TSplitter(AOwner), TsSkinHolder(this, "SPLITTER", 75)
{
}
#endif

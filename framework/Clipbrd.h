// The system clipboard as the framework's TClipboard: its text, and whether it holds a format.
// Each call opens and closes the clipboard itself; a clipboard another program holds open gives
// no text and takes none.
#pragma once

#include <windows.h>

#include "Classes.h"

class TClipboard : public TPersistent {
    VCL_CLASS(TClipboard, TPersistent)
public:
    // The clipboard's CF_TEXT ("" when it holds none or cannot be opened).
    AnsiString AsText();
    // Empties the clipboard and puts Value on it as CF_TEXT.
    void SetAsText(const AnsiString& Value);
    bool HasFormat(UINT Format);
    void Clear();
};

// The process's clipboard object.
TClipboard* Clipboard();

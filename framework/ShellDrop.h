// Files dropped from the shell on a windowed control. The hook takes the control's WindowProc over
// (TWindowProcHook): while Accept is on every window the control makes accepts drops, so the
// setting survives the window's re-creation; a drop hands the names to OnDrop and always releases
// the drop record, also when the handler raises.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <vector>

#include "Controls.h"
#include "SubclassWindow.h"

// The names in a drop record: all of them, or only the first (empty when it holds none). Names are
// read whole, however long, as the paths that reach the entries themselves (see ReachingPath); a
// name that no path in the code page reaches is left out. The record stays the caller's.
std::vector<AnsiString> DroppedFiles(HDROP Drop, bool All);

class TFileDropHook : public TObject {
public:
    using TDropEvent = std::function<void(const std::vector<AnsiString>& Files)>;

    TFileDropHook() = default;
    ~TFileDropHook() override { Release(); }
    TFileDropHook(const TFileDropHook&) = delete;
    TFileDropHook& operator=(const TFileDropHook&) = delete;

    // Takes Control over (letting go of one taken earlier).
    void Attach(TWinControl* Control);
    void Release();
    // Whether the control's windows accept drops; applied at once to a window that exists.
    bool Accept() const { return FAccept; }
    void SetAccept(bool Value);
    // Every dropped name goes to OnDrop (true), or only the first (false).
    bool Multiple = false;
    TDropEvent OnDrop;

private:
    void WndProc(TMessage& Message);
    void Drop(HDROP Drop);

    TWindowProcHook FHook;
    TWinControl* FControl = nullptr;
    bool FAccept = false;
};

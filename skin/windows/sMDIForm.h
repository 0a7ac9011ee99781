// The client window of a skinned MDI parent form: its background (the wall) and its 2-pixel
// border are copied from the form provider's cached image, skinned bars with a corner grip lie
// over its own scroll bars, and while an MDI child is maximised the form's main menu carries that
// child's restore, minimise and close items as its first, icon-only item.
#pragma once

#include "Forms.h"
#include "Menus.h"
#include "SubclassWindow.h"

class TsSkinProvider;
class TsScrollBar;
class TsGrip;

class TsMDIForm : public TPersistent {
    VCL_CLASS(TsMDIForm, TPersistent)
public:
    // Made by the provider of an MDI parent form, which owns it.
    explicit TsMDIForm(TsSkinProvider* Provider);
    ~TsMDIForm() override;

    // Takes the client window over unless it is taken already (it answers AC_ISSKINNED).
    void ConnectToClient();
    void ClientWndProc(TMessage& Message);

    // The skinned bars filled from the client's own scroll state and placed over it, or hidden.
    void RefreshScrolls();
    // The client's scroll state of that direction (from its children's extent) moved to start
    // at 0; false when there is no active child or nothing to scroll.
    bool FillScrollInfo(TScrollBarKind Kind, SCROLLINFO& Info);
    void OnVSBChange(TObject* Sender, int OldValue);
    void OnHSBChange(TObject* Sender, int OldValue);
    void OnSBMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // The child icon item first in the main menu while the active child is maximised, else not.
    void UpdateMDIIconItem();
    void MakeChildIconItem();
    void CloseClick(TObject* Sender);
    void MinClick(TObject* Sender);
    void RestoreClick(TObject* Sender);

    // The client window's place in the form's window (the provider's cache coordinates).
    int Left();
    int Top();
    int Width();
    int Height();
    // The room the form's visible controls of that alignment take (heights for top and bottom,
    // widths for left and right).
    int Offset(TAlign Align);

    TsScrollBar* VSBar = nullptr;
    TsScrollBar* HSBar = nullptr;
    TsGrip* Grip = nullptr;
    // The client window answered AC_ISSKINNED (it is taken over).
    bool Connected = false;
    TCustomForm* Form = nullptr;
    TMenuItem* ChildIconItem = nullptr;
    TsSkinProvider* Provider = nullptr;

private:
    bool Skinned();
    bool ChildMaximized();
    HWND Client();
    // The client window's rectangle in the form's window coordinates.
    TRect ClientPlace();
    void PaintWall(HDC DC);
    void PaintBorder();
    void ScrollClient(TsScrollBar* Bar, bool Vertical);
    void SendToActiveChild(WPARAM Command);

    TWindowSubclass FClient;
};

// The horizontal and vertical origins of the client's own scroll ranges (what the skinned bars
// count from), and the flag set while the bars are filled or are moving the client.
extern int MDIHorzOrigin;
extern int MDIVertOrigin;
extern bool MDIScrolling;

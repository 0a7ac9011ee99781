#include "sTreeView.h"

#include "ClassesFiler.h"
#include "Menus.h"

TsTreeView::TsTreeView(TComponent* AOwner) : TsSkinned(AOwner, "EDIT", 96)
{
}

namespace {

void PutInt(TWriter& W, const char* Name, Int64 Value)
{
    W.WritePropName(Name);
    W.WriteInteger(Value);
}

void PutBool(TWriter& W, const char* Name, bool Value)
{
    W.WritePropName(Name);
    W.WriteBoolean(Value);
}

void PutIdent(TWriter& W, const char* Name, const char* Value)
{
    W.WritePropName(Name);
    W.WriteIdent(Value);
}

void PutRef(TWriter& W, const char* Name, const TComponent* Value)
{
    W.WritePropName(Name);
    W.WriteReference(Value);
}

} // namespace

void TsTreeView::WriteProperties(TWriter& Writer)
{
    static const char* alignNames[] = {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient", "alCustom"};
    static const char* sortNames[] = {"stNone", "stData", "stText", "stBoth"};
    PutInt(Writer, "Left", Left());
    PutInt(Writer, "Top", Top());
    PutInt(Writer, "Width", Width());
    PutInt(Writer, "Height", Height());
    if (Align() != alNone)
        PutIdent(Writer, "Align", alignNames[Align()]);
    if (BorderStyle() != bsSingle)
        PutIdent(Writer, "BorderStyle", "bsNone");
    if (ChangeDelay() != 0)
        PutInt(Writer, "ChangeDelay", ChangeDelay());
    if (!ParentColor() && Color() != clWindow)
        WriteColorProperty(Writer, "Color", Color());
    if (!FParentCtl3D)
        PutBool(Writer, "Ctl3D", FCtl3D);
    if (!Enabled())
        PutBool(Writer, "Enabled", false);
    if (!ParentFont())
        WriteFontProperties(Writer, "Font", *Font());
    if (!HideSelection())
        PutBool(Writer, "HideSelection", false);
    if (HotTrack())
        PutBool(Writer, "HotTrack", true);
    if (Images())
        PutRef(Writer, "Images", Images());
    PutInt(Writer, "Indent", Indent());
    if (!FParentCtl3D)
        PutBool(Writer, "ParentCtl3D", false);
    if (!ParentFont())
        PutBool(Writer, "ParentFont", false);
    if (PopupMenu())
        PutRef(Writer, "PopupMenu", PopupMenu());
    if (ReadOnly())
        PutBool(Writer, "ReadOnly", true);
    if (RightClickSelect())
        PutBool(Writer, "RightClickSelect", true);
    if (RowSelect())
        PutBool(Writer, "RowSelect", true);
    if (!ShowButtons())
        PutBool(Writer, "ShowButtons", false);
    if (!ShowLines())
        PutBool(Writer, "ShowLines", false);
    if (!ShowRoot())
        PutBool(Writer, "ShowRoot", false);
    if (SortType() != stNone)
        PutIdent(Writer, "SortType", sortNames[SortType()]);
    if (StateImages())
        PutRef(Writer, "StateImages", StateImages());
    if (TabOrder() >= 0)
        PutInt(Writer, "TabOrder", TabOrder());
    if (!Visible())
        PutBool(Writer, "Visible", false);
    if (Items()->Count() > 0) {
        TMemoryStream data;
        Items()->WriteData(data);
        Writer.WritePropName("Items.Data");
        Writer.WriteBinary(data.Memory(), static_cast<Integer>(data.Size()));
    }
    Writer.BeginPropPath("BoundLabel");
    BoundLabel()->WriteProperties(Writer);
    Writer.EndPropPath();
    Writer.BeginPropPath("SkinData");
    SkinData()->WriteProperties(Writer);
    Writer.EndPropPath();
}

bool TsTreeView::ReadProperty(TReader& Reader, const AnsiString& PropPath)
{
    // The tree view takes its nodes; the skinned values keep what the form set.
    return inherited::ReadProperty(Reader, PropPath);
}

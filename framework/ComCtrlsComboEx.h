// The combo box with images TComboBoxEx over the common-controls extended combo box; its items
// (caption, images, indent, data) live in the object, so the window can be re-created.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "ComCtrlsBars.h"
#include "Controls.h"
#include "ImgList.h"

class TComboExItems;
class TCustomComboBoxEx;

class TComboExItem : public TPersistent {
    VCL_CLASS(TComboExItem, TPersistent)
public:
    explicit TComboExItem(TComboExItems* Owner) : FOwner(Owner) {}
    int Index() const;
    const AnsiString& Caption() const { return FCaption; }
    void SetCaption(const AnsiString& Value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    int SelectedImageIndex() const { return FSelectedImageIndex; }
    void SetSelectedImageIndex(int Value);
    int OverlayImageIndex() const { return FOverlayImageIndex; }
    void SetOverlayImageIndex(int Value);
    int Indent() const { return FIndent; }
    void SetIndent(int Value);
    void* Data = nullptr;
    void Assign(TPersistent* Source) override;

private:
    void Changed();
    TComboExItems* FOwner;
    AnsiString FCaption;
    int FImageIndex = -1;
    int FSelectedImageIndex = -1;
    int FOverlayImageIndex = -1;
    int FIndent = 0;
};

// The items of an extended combo box, owned by it.
class TComboExItems : public TPersistent {
    VCL_CLASS(TComboExItems, TPersistent)
public:
    explicit TComboExItems(TCustomComboBoxEx* Owner) : FCombo(Owner) {}
    TComboExItem* Add();
    TComboExItem* AddItem(const AnsiString& Caption, int ImageIndex = -1, int SelectedImageIndex = -1,
                          int OverlayImageIndex = -1, int Indent = 0, void* Data = nullptr);
    TComboExItem* Insert(int Index);
    void Delete(int Index);
    void Clear();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises EListError for an index out of range.
    TComboExItem* Items(int Index) const;
    TComboExItem* operator[](int Index) const { return Items(Index); }
    int IndexOf(const TComboExItem* Item) const;
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    void Assign(TPersistent* Source) override;

private:
    friend class TComboExItem;
    void Changed(int Index);
    TCustomComboBoxEx* FCombo;
    std::vector<std::unique_ptr<TComboExItem>> FItems;
    int FUpdateCount = 0;
};

enum TComboBoxExStyle { csExDropDown, csExSimple, csExDropDownList };

class TCustomComboBoxEx : public TWinControl {
    VCL_CLASS(TCustomComboBoxEx, TWinControl)
public:
    explicit TCustomComboBoxEx(TComponent* AOwner);
    ~TCustomComboBoxEx() override;

    TComboExItems* ItemsEx() const { return FItemsEx.get(); }
    TCustomImageList* Images() const { return FImageLink.List(); }
    void SetImages(TCustomImageList* Value);
    // -1 = nothing selected. Setting it in code fires no event.
    int ItemIndex();
    void SetItemIndex(int Value);
    TComboBoxExStyle Style() const { return FStyle; }
    void SetStyle(TComboBoxExStyle Value);
    int DropDownCount() const { return FDropDownCount; }
    void SetDropDownCount(int Value);
    bool DroppedDown();
    void SetDroppedDown(bool Value);

    // OnSelect after the user chose an item (OnChange instead when OnSelect is not set);
    // OnChange also after the user edited the text.
    TNotifyEvent OnChange;
    TNotifyEvent OnSelect;
    TNotifyEvent OnDropDown;
    TNotifyEvent OnCloseUp;

    void Dispatch(TMessage& Message) override;
    // Sends all items to the window again.
    void RebuildItems();
    void UpdateItem(int Index);

protected:
    void CreateParams(TCreateParams& Params) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void DoSetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    virtual void Change();
    virtual void Select();

private:
    void ImageListChange(TObject* Sender);
    int DropDownHeight() const;
    bool EditFollowsSelection();
    std::unique_ptr<TComboExItems> FItemsEx;
    TImageListLink FImageLink;
    int FItemIndex = -1;
    TComboBoxExStyle FStyle = csExDropDown;
    int FDropDownCount = 8;
    bool FRebuilding = false;
};

class TComboBoxEx : public TCustomComboBoxEx {
    VCL_CLASS(TComboBoxEx, TCustomComboBoxEx)
public:
    using TCustomComboBoxEx::TCustomComboBoxEx;
};

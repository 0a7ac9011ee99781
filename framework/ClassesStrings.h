// String lists: the abstract TStrings that controls implement over their windows (a memo's lines,
// a list box's items) and the stand-alone TStringList. Strings are CP1251 bytes; comparisons
// without case use the Cyrillic case tables of SysUtils.
#pragma once

#include "Classes.h"

#include <vector>

// What a sorted TStringList does with a string that is already in it.
enum TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an optional object pointer.
//
// The virtual core that a descendant implements (everything else is built on it):
//   Get, GetCount, Insert, Delete, Clear          required
//   Put                                            default: Delete + Insert, keeping the object
//   GetObject / PutObject                          default: no objects (nullptr / ignored)
//   SetUpdateState                                 called when BeginUpdate/EndUpdate nesting
//                                                  starts (true) and ends (false); default nothing
//   GetTextStr / SetTextStr                        whole text; defaults go line by line
// Index errors raise EStringListError "List index out of bounds (N)".
class TStrings : public TPersistent {
    VCL_CLASS(TStrings, TPersistent)
public:
    // --- the virtual core ---
    virtual AnsiString Get(int Index) const = 0;
    virtual int GetCount() const = 0;
    virtual void Put(int Index, const AnsiString& S);
    virtual TObject* GetObject(int Index) const;
    virtual void PutObject(int Index, TObject* AObject);
    virtual void Insert(int Index, const AnsiString& S) = 0;
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    // Lines each followed by CRLF.
    virtual AnsiString GetTextStr() const;
    // Replaces the content by the lines of Value, split at CR, LF or CRLF; a last line without a
    // terminator is kept; bytes (NUL included) are kept as they are.
    virtual void SetTextStr(const AnsiString& Value);

    // --- list operations ---
    virtual int Add(const AnsiString& S);
    virtual int AddObject(const AnsiString& S, TObject* AObject);
    void InsertObject(int Index, const AnsiString& S, TObject* AObject);
    void Append(const AnsiString& S) { Add(S); }
    virtual void AddStrings(TStrings* Strings);
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    // Same count and the same strings in the same order (exact comparison).
    bool Equals(TStrings* Strings) const;
    // Index of the first string equal to S by CompareStrings, or -1.
    virtual int IndexOf(const AnsiString& S) const;
    // Index of the first "name=value" line whose name equals Name by CompareStrings, or -1.
    virtual int IndexOfName(const AnsiString& Name) const;
    int IndexOfObject(TObject* AObject) const;

    // Copies the strings and object pointers of another TStrings (other sources: TPersistent
    // rules). The objects are shared, not copied: two owning lists must not share them.
    void Assign(TPersistent* Source) override;

    // --- properties ---
    int Count() const { return GetCount(); }
    AnsiString Strings(int Index) const { return Get(Index); }
    AnsiString operator[](int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    AnsiString Text() const { return GetTextStr(); }
    void SetText(const AnsiString& Value) { SetTextStr(Value); }
    // Items separated by Delimiter; an item holding a control character, a blank, QuoteChar or
    // Delimiter is quoted, with QuoteChar doubled inside; a single empty item gives two quotes.
    AnsiString DelimitedText() const;
    // Parses items separated by Delimiter or blanks; quoted items may hold anything.
    void SetDelimitedText(const AnsiString& Value);
    // DelimitedText with "," and '"'.
    AnsiString CommaText() const;
    void SetCommaText(const AnsiString& Value);
    // The part of line Index before the first "=" ("" when the line has none).
    AnsiString Names(int Index) const;
    // The part after the first "=" of the line named Name ("" when there is none).
    AnsiString Values(const AnsiString& Name) const;
    // Sets the value of the line named Name (adding "Name=Value" when missing); an empty Value
    // deletes the line.
    void SetValue(const AnsiString& Name, const AnsiString& Value);
    // The part after the first "=" of line Index ("" when the line has none).
    AnsiString ValueFromIndex(int Index) const;
    void SetValueFromIndex(int Index, const AnsiString& Value);

    char Delimiter = ',';
    char QuoteChar = '"';

    // --- update bracketing ---
    void BeginUpdate();
    void EndUpdate();
    // Runs Change between BeginUpdate and EndUpdate; the update also ends when Change throws.
    template <class Fn>
    void WithinUpdate(Fn&& Change)
    {
        BeginUpdate();
        try {
            Change();
        } catch (...) {
            EndUpdate();
            throw;
        }
        EndUpdate();
    }
    int UpdateCount() const { return FUpdateCount; }

    // --- files and streams: CP1251 bytes as they are, written with CRLF ---
    // A missing or unreadable file raises EFOpenError; a file that cannot be created EFCreateError.
    virtual void LoadFromFile(const AnsiString& FileName);
    virtual void SaveToFile(const AnsiString& FileName);
    // From the stream's position to its end / at the stream's position.
    virtual void LoadFromStream(TStream& Stream);
    virtual void SaveToStream(TStream& Stream);

    // Comparison used by IndexOf, IndexOfName and sorting: < 0, 0 or > 0. TStrings compares
    // without case (CP1251 tables); TStringList follows its CaseSensitive property.
    virtual int CompareStrings(const AnsiString& S1, const AnsiString& S2) const;

protected:
    virtual void SetUpdateState(bool Updating);
    // Raises EStringListError "List index out of bounds (Index)".
    [[noreturn]] static void IndexError(int Index);

private:
    int FUpdateCount = 0;
};

class TStringList;
// Compares the items at Index1 and Index2 of List: < 0, 0 or > 0.
using TStringListSortCompare = int (*)(TStringList* List, int Index1, int Index2);

// A list of strings held in memory, optionally sorted, optionally owning its objects.
class TStringList : public TStrings {
    VCL_CLASS(TStringList, TStrings)
public:
    TStringList() = default;
    explicit TStringList(bool OwnsObjects) : FOwnsObjects(OwnsObjects) {}
    ~TStringList() override;

    AnsiString Get(int Index) const override;
    int GetCount() const override;
    void Put(int Index, const AnsiString& S) override;
    TObject* GetObject(int Index) const override;
    // With OwnsObjects, an object that is replaced by another is freed.
    void PutObject(int Index, TObject* AObject) override;
    void Insert(int Index, const AnsiString& S) override;
    void Delete(int Index) override;
    void Clear() override;
    AnsiString GetTextStr() const override;
    void SetTextStr(const AnsiString& Value) override;

    // In a sorted list the string goes to its sorted place; Duplicates decides about equal ones
    // (dupIgnore returns the index of the existing string).
    int Add(const AnsiString& S) override;
    int AddObject(const AnsiString& S, TObject* AObject) override;
    void Exchange(int Index1, int Index2) override;
    void Move(int CurIndex, int NewIndex) override;
    int IndexOf(const AnsiString& S) const override;
    int CompareStrings(const AnsiString& S1, const AnsiString& S2) const override;

    // Binary search of a sorted list: true when S is there; Index is its first occurrence, or the
    // place where it would be inserted.
    virtual bool Find(const AnsiString& S, int& Index) const;
    // Stable sort by CompareStrings / by Compare (which sees the list as it was before sorting).
    virtual void Sort();
    virtual void CustomSort(TStringListSortCompare Compare);

    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates Value) { FDuplicates = Value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    // An owning list frees the objects of the lines it deletes, clears or is freed with.
    bool OwnsObjects() const { return FOwnsObjects; }
    void SetOwnsObjects(bool Value) { FOwnsObjects = Value; }
    void SetCapacity(int Capacity);

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    void SetUpdateState(bool Updating) override;
    virtual void Changed();
    virtual void Changing();

private:
    struct Item {
        AnsiString S;
        TObject* Obj = nullptr;
    };
    void CheckIndex(int Index) const;
    void InsertItem(int Index, const AnsiString& S, TObject* AObject);
    void SortBy(const std::function<int(int, int)>& compare);

    std::vector<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
    bool FOwnsObjects = false;
    TDuplicates FDuplicates = dupIgnore;
};

// Splits Text from Start on into lines at CR, LF or CRLF and hands each line to Add; a last line
// without a terminator counts, an empty rest has no lines.
template <class AddLine>
void SplitLines(const AnsiString& Text, size_t Start, AddLine&& Add)
{
    const size_t n = Text.size();
    while (Start < n) {
        size_t p = Start;
        while (p < n && Text[p] != '\r' && Text[p] != '\n')
            ++p;
        Add(Text.substr(Start, p - Start));
        if (p < n && Text[p] == '\r')
            ++p;
        if (p < n && Text[p] == '\n')
            ++p;
        Start = p;
    }
}

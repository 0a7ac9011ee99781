#include "ClassesStrings.h"

#include <algorithm>

namespace {

// Blank or control character: a separator outside quotes in delimited text.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// Reads up to count bytes, as many as the stream gives.
Integer ReadAll(TStream& stream, char* buffer, Integer count)
{
    Integer done = 0;
    while (done < count) {
        const Integer got = stream.Read(buffer + done, count - done);
        if (got <= 0)
            break;
        done += got;
    }
    return done;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TStrings

void TStrings::IndexError(int Index)
{
    throw EStringListError("List index out of bounds (" + IntToStr(Index) + ")");
}

void TStrings::Put(int Index, const AnsiString& S)
{
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

TObject* TStrings::GetObject(int) const { return nullptr; }

void TStrings::PutObject(int, TObject*) {}

AnsiString TStrings::GetTextStr() const
{
    const int n = GetCount();
    AnsiString result;
    std::vector<AnsiString> lines;
    lines.reserve(n);
    size_t total = 0;
    for (int i = 0; i < n; ++i) {
        lines.push_back(Get(i));
        total += lines.back().size() + 2;
    }
    result.reserve(total);
    for (const AnsiString& s : lines) {
        result += s;
        result += "\r\n";
    }
    return result;
}

void TStrings::SetTextStr(const AnsiString& Value)
{
    WithinUpdate([&] {
        Clear();
        SplitLines(Value, 0, [this](AnsiString line) { Add(line); });
    });
}

int TStrings::Add(const AnsiString& S)
{
    const int index = GetCount();
    Insert(index, S);
    return index;
}

int TStrings::AddObject(const AnsiString& S, TObject* AObject)
{
    const int index = Add(S);
    PutObject(index, AObject);
    return index;
}

void TStrings::InsertObject(int Index, const AnsiString& S, TObject* AObject)
{
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::AddStrings(TStrings* Strings)
{
    if (!Strings)
        return;
    WithinUpdate([&] {
        const int n = Strings->GetCount();
        for (int i = 0; i < n; ++i)
            AddObject(Strings->Get(i), Strings->GetObject(i));
    });
}

void TStrings::Exchange(int Index1, int Index2)
{
    WithinUpdate([&] {
        TObject* obj = GetObject(Index1);
        AnsiString s = Get(Index1);
        Put(Index1, Get(Index2));
        PutObject(Index1, GetObject(Index2));
        Put(Index2, s);
        PutObject(Index2, obj);
    });
}

void TStrings::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    WithinUpdate([&] {
        AnsiString s = Get(CurIndex);
        TObject* obj = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, s, obj);
    });
}

bool TStrings::Equals(TStrings* Strings) const
{
    if (!Strings)
        return false;
    const int n = GetCount();
    if (n != Strings->GetCount())
        return false;
    for (int i = 0; i < n; ++i)
        if (Get(i) != Strings->Get(i))
            return false;
    return true;
}

int TStrings::IndexOf(const AnsiString& S) const
{
    const int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (CompareStrings(Get(i), S) == 0)
            return i;
    return -1;
}

int TStrings::IndexOfName(const AnsiString& Name) const
{
    const int n = GetCount();
    for (int i = 0; i < n; ++i) {
        const AnsiString s = Get(i);
        const size_t eq = s.find('=');
        if (eq != AnsiString::npos && CompareStrings(s.substr(0, eq), Name) == 0)
            return i;
    }
    return -1;
}

int TStrings::IndexOfObject(TObject* AObject) const
{
    const int n = GetCount();
    for (int i = 0; i < n; ++i)
        if (GetObject(i) == AObject)
            return i;
    return -1;
}

void TStrings::Assign(TPersistent* Source)
{
    if (auto* src = dynamic_cast<TStrings*>(Source)) {
        if (src == this)
            return;
        WithinUpdate([&] {
            Clear();
            AddStrings(src);
        });
        return;
    }
    inherited::Assign(Source);
}

AnsiString TStrings::DelimitedText() const
{
    const int n = GetCount();
    if (n == 1 && Get(0).empty())
        return AnsiString(2, QuoteChar);
    AnsiString result;
    for (int i = 0; i < n; ++i) {
        const AnsiString s = Get(i);
        const bool quote = std::any_of(s.begin(), s.end(),
                                       [this](char c) { return IsBlank(c) || c == QuoteChar || c == Delimiter; });
        if (i > 0)
            result += Delimiter;
        if (quote) {
            result += QuoteChar;
            for (char c : s) {
                result += c;
                if (c == QuoteChar)
                    result += c;
            }
            result += QuoteChar;
        } else {
            result += s;
        }
    }
    return result;
}

void TStrings::SetDelimitedText(const AnsiString& Value)
{
    WithinUpdate([&] {
        Clear();
        const size_t n = Value.size();
        size_t p = 0;
        while (p < n && IsBlank(Value[p]))
            ++p;
        while (p < n) {
            AnsiString item;
            if (Value[p] == QuoteChar) {
                // Quoted item: up to the closing quote, doubled quotes stand for one; an item
                // without its closing quote runs to the end.
                ++p;
                while (p < n) {
                    if (Value[p] == QuoteChar) {
                        if (p + 1 < n && Value[p + 1] == QuoteChar) {
                            item += QuoteChar;
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    item += Value[p++];
                }
            } else {
                const size_t start = p;
                while (p < n && !IsBlank(Value[p]) && Value[p] != Delimiter)
                    ++p;
                item = Value.substr(start, p - start);
            }
            Add(item);
            while (p < n && IsBlank(Value[p]))
                ++p;
            if (p < n && Value[p] == Delimiter) {
                if (p + 1 == n)
                    Add(AnsiString());
                do
                    ++p;
                while (p < n && IsBlank(Value[p]));
            }
        }
    });
}

AnsiString TStrings::CommaText() const
{
    // The delimiters are properties of this list; CommaText always uses the standard pair.
    struct Saver {
        TStrings* self;
        char delimiter, quote;
        ~Saver()
        {
            self->Delimiter = delimiter;
            self->QuoteChar = quote;
        }
    };
    auto* self = const_cast<TStrings*>(this);
    Saver saver{self, Delimiter, QuoteChar};
    self->Delimiter = ',';
    self->QuoteChar = '"';
    return DelimitedText();
}

void TStrings::SetCommaText(const AnsiString& Value)
{
    const char delimiter = Delimiter, quote = QuoteChar;
    Delimiter = ',';
    QuoteChar = '"';
    try {
        SetDelimitedText(Value);
    } catch (...) {
        Delimiter = delimiter;
        QuoteChar = quote;
        throw;
    }
    Delimiter = delimiter;
    QuoteChar = quote;
}

AnsiString TStrings::Names(int Index) const
{
    const AnsiString s = Get(Index);
    const size_t eq = s.find('=');
    return eq == AnsiString::npos ? AnsiString() : s.substr(0, eq);
}

AnsiString TStrings::Values(const AnsiString& Name) const
{
    const int i = IndexOfName(Name);
    return i < 0 ? AnsiString() : ValueFromIndex(i);
}

void TStrings::SetValue(const AnsiString& Name, const AnsiString& Value)
{
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        if (i < 0)
            Add(Name + "=" + Value);
        else
            Put(i, Name + "=" + Value);
    } else if (i >= 0) {
        Delete(i);
    }
}

AnsiString TStrings::ValueFromIndex(int Index) const
{
    const AnsiString s = Get(Index);
    const size_t eq = s.find('=');
    return eq == AnsiString::npos ? AnsiString() : s.substr(eq + 1);
}

void TStrings::SetValueFromIndex(int Index, const AnsiString& Value)
{
    if (Value.empty()) {
        Delete(Index);
        return;
    }
    const AnsiString s = Get(Index);
    const size_t eq = s.find('=');
    const AnsiString name = eq == AnsiString::npos ? AnsiString() : s.substr(0, eq);
    Put(Index, name + "=" + Value);
}

void TStrings::BeginUpdate()
{
    if (FUpdateCount == 0)
        SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate()
{
    if (FUpdateCount <= 0)
        return;
    if (--FUpdateCount == 0)
        SetUpdateState(false);
}

void TStrings::SetUpdateState(bool) {}

void TStrings::LoadFromFile(const AnsiString& FileName)
{
    TStringStream stream(LoadFileBytes(FileName));
    LoadFromStream(stream);
}

void TStrings::SaveToFile(const AnsiString& FileName)
{
    TStringStream stream;
    SaveToStream(stream);
    SafeWriteFileBytes(FileName, stream.DataString());
}

void TStrings::LoadFromStream(TStream& Stream)
{
    const Int64 left = Stream.Size() - Stream.Position();
    if (left > 0x7FFFFFFF)
        throw EReadError("Stream read error");
    AnsiString bytes;
    if (left > 0) {
        bytes.resize(static_cast<size_t>(left));
        bytes.resize(static_cast<size_t>(ReadAll(Stream, bytes.data(), static_cast<Integer>(left))));
    }
    SetTextStr(bytes);
}

void TStrings::SaveToStream(TStream& Stream)
{
    const AnsiString text = GetTextStr();
    if (!text.empty())
        Stream.WriteBuffer(text.data(), static_cast<Integer>(text.size()));
}

int TStrings::CompareStrings(const AnsiString& S1, const AnsiString& S2) const
{
    return AnsiCompareText(S1, S2);
}

// ---------------------------------------------------------------------------------------------
// TStringList

TStringList::~TStringList()
{
    OnChange = nullptr;
    OnChanging = nullptr;
    if (FOwnsObjects)
        for (Item& item : FList)
            FreeAndNil(item.Obj);
}

void TStringList::CheckIndex(int Index) const
{
    if (Index < 0 || Index >= static_cast<int>(FList.size()))
        IndexError(Index);
}

AnsiString TStringList::Get(int Index) const
{
    CheckIndex(Index);
    return FList[Index].S;
}

int TStringList::GetCount() const { return static_cast<int>(FList.size()); }

void TStringList::Put(int Index, const AnsiString& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(Index);
    Changing();
    FList[Index].S = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const
{
    CheckIndex(Index);
    return FList[Index].Obj;
}

void TStringList::PutObject(int Index, TObject* AObject)
{
    CheckIndex(Index);
    Changing();
    TObject* old = FList[Index].Obj;
    FList[Index].Obj = AObject;
    if (FOwnsObjects && old && old != AObject)
        old->Free();
    Changed();
}

void TStringList::InsertItem(int Index, const AnsiString& S, TObject* AObject)
{
    Changing();
    FList.insert(FList.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Insert(int Index, const AnsiString& S)
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    if (Index < 0 || Index > GetCount())
        IndexError(Index);
    InsertItem(Index, S, nullptr);
}

void TStringList::Delete(int Index)
{
    CheckIndex(Index);
    Changing();
    TObject* obj = FList[Index].Obj;
    FList.erase(FList.begin() + Index);
    if (FOwnsObjects && obj)
        obj->Free();
    Changed();
}

void TStringList::Clear()
{
    if (FList.empty())
        return;
    Changing();
    std::vector<Item> old;
    old.swap(FList);
    if (FOwnsObjects)
        for (Item& item : old)
            FreeAndNil(item.Obj);
    Changed();
}

AnsiString TStringList::GetTextStr() const
{
    size_t total = 0;
    for (const Item& item : FList)
        total += item.S.size() + 2;
    AnsiString result;
    result.reserve(total);
    for (const Item& item : FList) {
        result += item.S;
        result += "\r\n";
    }
    return result;
}

void TStringList::SetTextStr(const AnsiString& Value)
{
    // Adding line by line would make a sorted list quadratic; the lines are taken in one pass and
    // then sorted, which gives the same list (the sort is stable and dupIgnore keeps the first of
    // equal lines). dupError keeps the line-by-line path so that it stops at the first duplicate.
    if (FSorted && FDuplicates == dupError) {
        inherited::SetTextStr(Value);
        return;
    }
    WithinUpdate([&] {
        Clear();
        SplitLines(Value, 0, [this](AnsiString line) { FList.push_back(Item{std::move(line), nullptr}); });
        if (FSorted) {
            Sort();
            if (FDuplicates == dupIgnore) {
                const auto end = std::unique(FList.begin(), FList.end(), [this](const Item& a, const Item& b) {
                    return CompareStrings(a.S, b.S) == 0;
                });
                FList.erase(end, FList.end());
            }
        }
    });
}

int TStringList::Add(const AnsiString& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const AnsiString& S, TObject* AObject)
{
    int index = GetCount();
    if (FSorted && Find(S, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
        // dupAccept: after the equal ones, so equal strings keep their order of arrival.
        while (index < GetCount() && CompareStrings(FList[index].S, S) == 0)
            ++index;
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Exchange(int Index1, int Index2)
{
    CheckIndex(Index1);
    CheckIndex(Index2);
    Changing();
    std::swap(FList[Index1], FList[Index2]);
    Changed();
}

void TStringList::Move(int CurIndex, int NewIndex)
{
    if (CurIndex == NewIndex)
        return;
    CheckIndex(CurIndex);
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
    CheckIndex(NewIndex);
    Changing();
    Item item = std::move(FList[CurIndex]);
    FList.erase(FList.begin() + CurIndex);
    FList.insert(FList.begin() + NewIndex, std::move(item));
    Changed();
}

int TStringList::CompareStrings(const AnsiString& S1, const AnsiString& S2) const
{
    return FCaseSensitive ? AnsiCompareStr(S1, S2) : AnsiCompareText(S1, S2);
}

bool TStringList::Find(const AnsiString& S, int& Index) const
{
    // Lower bound: the first string not below S.
    int lo = 0, hi = GetCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (CompareStrings(FList[mid].S, S) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    Index = lo;
    return lo < GetCount() && CompareStrings(FList[lo].S, S) == 0;
}

int TStringList::IndexOf(const AnsiString& S) const
{
    if (!FSorted) {
        for (size_t i = 0; i < FList.size(); ++i)
            if (CompareStrings(FList[i].S, S) == 0)
                return static_cast<int>(i);
        return -1;
    }
    int index = -1;
    return Find(S, index) ? index : -1;
}

void TStringList::SortBy(const std::function<int(int, int)>& compare)
{
    // Merge sort of an index permutation: stable, and it stays within bounds whatever the
    // comparison answers.
    const int n = GetCount();
    if (n < 2)
        return;
    std::vector<int> order(n), tmp(n);
    for (int i = 0; i < n; ++i)
        order[i] = i;
    for (int width = 1; width < n; width *= 2) {
        for (int lo = 0; lo < n; lo += 2 * width) {
            const int mid = std::min(lo + width, n), hi = std::min(lo + 2 * width, n);
            int a = lo, b = mid, k = lo;
            while (a < mid && b < hi)
                tmp[k++] = compare(order[b], order[a]) < 0 ? order[b++] : order[a++];
            while (a < mid)
                tmp[k++] = order[a++];
            while (b < hi)
                tmp[k++] = order[b++];
        }
        order.swap(tmp);
    }
    Changing();
    std::vector<Item> sorted;
    sorted.reserve(n);
    for (int i : order)
        sorted.push_back(std::move(FList[i]));
    FList.swap(sorted);
    Changed();
}

void TStringList::Sort()
{
    SortBy([this](int a, int b) { return CompareStrings(FList[a].S, FList[b].S); });
}

void TStringList::CustomSort(TStringListSortCompare Compare)
{
    if (!Compare)
        return;
    SortBy([this, Compare](int a, int b) { return Compare(this, a, b); });
}

void TStringList::SetSorted(bool Value)
{
    if (FSorted == Value)
        return;
    if (Value)
        Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value)
{
    if (FCaseSensitive == Value)
        return;
    FCaseSensitive = Value;
    if (FSorted)
        Sort();
}

void TStringList::SetCapacity(int Capacity)
{
    if (Capacity > 0)
        FList.reserve(static_cast<size_t>(Capacity));
}

void TStringList::SetUpdateState(bool Updating)
{
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed()
{
    if (UpdateCount() == 0 && OnChange)
        OnChange(this);
}

void TStringList::Changing()
{
    if (UpdateCount() == 0 && OnChanging)
        OnChanging(this);
}

#include "System.h"

const TClassInfo* TObject::StaticClassInfo()
{
    static const TClassInfo info{"TObject", nullptr};
    return &info;
}

bool SameAsciiText(std::string_view a, std::string_view b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'a' && x <= 'z')
            x = static_cast<char>(x - 32);
        if (y >= 'a' && y <= 'z')
            y = static_cast<char>(y - 32);
        if (x != y)
            return false;
    }
    return true;
}

bool TObject::ClassNameIs(const AnsiString& name) const { return SameAsciiText(ClassInfo()->Name, name); }

bool TObject::InheritsFrom(const TClassInfo* cls) const
{
    for (const TClassInfo* c = ClassInfo(); c; c = c->Parent)
        if (c == cls)
            return true;
    return false;
}

bool TObject::InheritsFrom(const AnsiString& className) const
{
    for (const TClassInfo* c = ClassInfo(); c; c = c->Parent)
        if (SameAsciiText(c->Name, className))
            return true;
    return false;
}

void TObject::Free()
{
    MarkDestroying();
    BeforeDestruction();
    delete this;
}

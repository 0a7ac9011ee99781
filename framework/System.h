// The base of the framework layer: the string type, integer types, TObject with its class
// information, the two-phase creation path and the root of the exception family.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <utility>

// Strings are 8-bit, in the Windows Cyrillic code page (1251).
using AnsiString = std::string;
using String = AnsiString;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using Integer = std::int32_t;
using LongInt = std::int32_t;
using Int64 = std::int64_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;

// True when a and b are equal but for the case of ASCII letters (class and component names).
bool SameAsciiText(std::string_view a, std::string_view b);

// Class information: the framework-style class name and the parent class, one static record
// per class. The skin library uses a control's class name as its default skin section.
struct TClassInfo {
    const char* Name;
    const TClassInfo* Parent;
};

// Declares the class information of a class derived from TObject; put it first in the class
// body. It also gives the class `inherited`, the name of its base.
#define VCL_CLASS(Self, Base)                                                                   \
public:                                                                                         \
    using inherited = Base;                                                                     \
    static const TClassInfo* StaticClassInfo()                                                  \
    {                                                                                           \
        static const TClassInfo info{#Self, Base::StaticClassInfo()};                           \
        return &info;                                                                           \
    }                                                                                           \
    const TClassInfo* ClassInfo() const override { return StaticClassInfo(); }                  \
                                                                                                \
private:

class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject() = default;

    static const TClassInfo* StaticClassInfo();
    virtual const TClassInfo* ClassInfo() const { return StaticClassInfo(); }

    AnsiString ClassName() const { return ClassInfo()->Name; }
    // Compares the class name without ASCII case, as the framework does.
    bool ClassNameIs(const AnsiString& name) const;
    const TClassInfo* ClassParent() const { return ClassInfo()->Parent; }
    bool InheritsFrom(const TClassInfo* cls) const;
    // True when this class or one of its ancestors has the given name.
    bool InheritsFrom(const AnsiString& className) const;

    // Two-phase construction: Create<T>() runs AfterConstruction once the most derived
    // constructor has finished, so virtual calls reach the overrides; Free() runs
    // BeforeDestruction before any destructor body.
    virtual void AfterConstruction() {}
    virtual void BeforeDestruction() {}
    void Free();
};

// Creates an object and completes its construction (see TObject::AfterConstruction).
template <class T, class... Args>
T* Create(Args&&... args)
{
    T* obj = new T(std::forward<Args>(args)...);
    obj->AfterConstruction();
    return obj;
}

// Frees an object (nothing when null) and clears the pointer first, as FreeAndNil does.
template <class T>
void FreeAndNil(T*& obj)
{
    T* tmp = obj;
    obj = nullptr;
    if (tmp)
        tmp->Free();
}

// Event with only its sender (the framework's TNotifyEvent). Events are assignable at run time.
using TNotifyEvent = std::function<void(TObject* Sender)>;

// The root of the framework's exception family; Message is what the error box shows.
class Exception : public TObject, public std::exception {
    VCL_CLASS(Exception, TObject)
public:
    explicit Exception(AnsiString message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }
    AnsiString Message;
};

// Declares an exception class of the family with the constructors of its base.
#define VCL_EXCEPTION(Name, Base)                                                               \
    class Name : public Base {                                                                  \
        VCL_CLASS(Name, Base)                                                                   \
    public:                                                                                     \
        using Base::Base;                                                                       \
    };

// The base of the framework layer: the string type, integer types, TObject with its class
// information, the two-phase creation path and the root of the exception family.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>
#include <type_traits>
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

protected:
    // The first step of Free, before BeforeDestruction (components mark themselves destroying).
    virtual void MarkDestroying() {}
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

// An event value: a method of an object (the object and one of its member functions, as the
// framework's "procedure of object"), or any other callable such as a lambda. Bound methods
// compare equal when object and member are the same, so a handler can be recognised and swapped
// back; a lambda equals nothing but itself being empty. Events are assignable and clearable at
// run time.
template <class Signature>
class TMethod;

template <class R, class... Args>
class TMethod<R(Args...)> {
public:
    using Code = R (TObject::*)(Args...);

    TMethod() = default;
    TMethod(std::nullptr_t) {}
    template <class C, class M>
        requires std::is_base_of_v<TObject, M> && std::is_base_of_v<M, C>
    TMethod(C* Object, R (M::*Method)(Args...))
        : FData(static_cast<TObject*>(static_cast<M*>(Object))), FCode(Object ? static_cast<Code>(Method) : nullptr)
    {
    }
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, TMethod> &&
                 !std::is_same_v<std::remove_cvref_t<F>, std::nullptr_t> && std::is_invocable_r_v<R, F&, Args...>)
    TMethod(F&& Function) : FFunction(std::forward<F>(Function))
    {
    }

    R operator()(Args... args) const
    {
        if (FCode)
            return (FData->*FCode)(std::forward<Args>(args)...);
        return FFunction(std::forward<Args>(args)...);
    }
    explicit operator bool() const { return FCode != nullptr || static_cast<bool>(FFunction); }
    bool operator==(const TMethod& Other) const
    {
        if (FCode || Other.FCode)
            return FData == Other.FData && FCode == Other.FCode;
        return !FFunction && !Other.FFunction;
    }
    bool operator==(std::nullptr_t) const { return !*this; }
    // The object of a bound method (null for an empty event or another callable).
    TObject* Data() const { return FCode ? FData : nullptr; }

private:
    TObject* FData = nullptr;
    Code FCode = nullptr;
    std::function<R(Args...)> FFunction;
};

// Event with only its sender (the framework's TNotifyEvent).
using TNotifyEvent = TMethod<void(TObject* Sender)>;

// The root of the framework's exception family; Message is what the error box shows.
class Exception : public TObject, public std::exception {
    VCL_CLASS(Exception, TObject)
public:
    explicit Exception(AnsiString message) : Message(std::move(message)) {}
    // A failure of the system: the file it concerned and the system's error code.
    Exception(AnsiString message, AnsiString fileName, Cardinal errorCode)
        : Message(std::move(message)), FileName(std::move(fileName)), ErrorCode(errorCode)
    {
    }
    const char* what() const noexcept override { return Message.c_str(); }
    AnsiString Message;
    // What a failure of the system carries beside the text: the file it concerned ("" when none)
    // and the system's error code (0 when there is none), so that the reason can be told in the
    // user's words without reading the text.
    AnsiString FileName;
    Cardinal ErrorCode = 0;
};

// Declares an exception class of the family with the constructors of its base.
#define VCL_EXCEPTION(Name, Base)                                                               \
    class Name : public Base {                                                                  \
        VCL_CLASS(Name, Base)                                                                   \
    public:                                                                                     \
        using Base::Base;                                                                       \
    };

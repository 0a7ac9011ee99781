// Recording and failing the runtime's file operations: while a FileSteps lives, every file
// operation of the program goes through it (TFileOps), is noted as a step and passed on, or fails
// with an OS error without being done.
#pragma once

#include "SysUtils.h"

#include <string>
#include <vector>

namespace testkit {

enum class FileStep { CreateTemp, Write, Flush, Close, Move, Read };

class FileSteps : public TFileOps {
public:
    struct Step {
        FileStep kind;
        std::string path;   // CreateTemp: the folder; Move: the source; Read: the file
        std::string result; // CreateTemp: the temporary file made; Move: the target
    };

    FileSteps() : override_(*this) {}

    // The n-th (1-based) operation of this kind from now on answers error and is not done (a
    // failed Close still closes the handle, as the system's does).
    void FailAt(FileStep kind, DWORD error, int occurrence = 1)
    {
        failKind_ = kind;
        failError_ = error;
        failLeft_ = occurrence;
    }
    const std::vector<Step>& Steps() const { return steps_; }
    // The kinds in order, e.g. "create-temp write flush close move".
    std::string Kinds() const
    {
        static const char* const names[] = {"create-temp", "write", "flush", "close", "move", "read"};
        std::string out;
        for (const Step& s : steps_)
            out += (out.empty() ? "" : " ") + std::string(names[int(s.kind)]);
        return out;
    }
    void Clear() { steps_.clear(); }

    DWORD CreateTemp(const AnsiString& Dir, AnsiString& Name, HANDLE& Handle) override
    {
        const DWORD err = Pass(FileStep::CreateTemp, [&] { return TFileOps::CreateTemp(Dir, Name, Handle); }, Dir);
        steps_.back().result = Name;
        return err;
    }
    DWORD Write(HANDLE H, const void* D, std::size_t N) override
    {
        return Pass(FileStep::Write, [&] { return TFileOps::Write(H, D, N); });
    }
    DWORD Flush(HANDLE H) override { return Pass(FileStep::Flush, [&] { return TFileOps::Flush(H); }); }
    DWORD Close(HANDLE H) override
    {
        const DWORD closed = TFileOps::Close(H);
        return Pass(FileStep::Close, [&] { return closed; });
    }
    DWORD Move(const AnsiString& From, const AnsiString& To) override
    {
        return Pass(FileStep::Move, [&] { return TFileOps::Move(From, To); }, From, To);
    }
    DWORD Read(const AnsiString& Name, AnsiString& Bytes) override
    {
        return Pass(FileStep::Read, [&] { return TFileOps::Read(Name, Bytes); }, Name);
    }

private:
    // Notes the step, then fails it or does it.
    template <class Op>
    DWORD Pass(FileStep kind, Op op, std::string path = {}, std::string result = {})
    {
        steps_.push_back({kind, std::move(path), std::move(result)});
        return failLeft_ > 0 && kind == failKind_ && --failLeft_ == 0 ? failError_ : op();
    }

    std::vector<Step> steps_;
    FileStep failKind_ = FileStep::CreateTemp;
    DWORD failError_ = 0;
    int failLeft_ = 0;
    TFileOpsOverride override_;
};

} // namespace testkit

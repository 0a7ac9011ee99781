#include "FileSteps.h"

namespace testkit {

const char* FileStepName(FileStep step)
{
    switch (step) {
    case FileStep::CreateTemp: return "create-temp";
    case FileStep::Write: return "write";
    case FileStep::Flush: return "flush";
    case FileStep::Close: return "close";
    case FileStep::Move: return "move";
    case FileStep::Read: return "read";
    }
    return "?";
}

FileSteps::FileSteps() : override_(*this) {}

FileSteps::~FileSteps() = default;

void FileSteps::FailAt(FileStep kind, DWORD error, int occurrence)
{
    failKind_ = kind;
    failError_ = error;
    failLeft_ = occurrence;
}

std::string FileSteps::Kinds() const
{
    std::string out;
    for (const Step& s : steps_)
        out += (out.empty() ? "" : " ") + std::string(FileStepName(s.kind));
    return out;
}

DWORD FileSteps::Note(FileStep kind, std::string path, std::string result, std::size_t count)
{
    Step step{kind, std::move(path), std::move(result), count, 0};
    if (failLeft_ > 0 && step.kind == failKind_ && --failLeft_ == 0)
        step.error = failError_;
    steps_.push_back(step);
    return step.error;
}

DWORD FileSteps::CreateTemp(const AnsiString& Dir, AnsiString& Name, HANDLE& Handle)
{
    if (const DWORD err = Note(FileStep::CreateTemp, Dir))
        return err;
    const DWORD err = TFileOps::CreateTemp(Dir, Name, Handle);
    steps_.back().result = Name;
    steps_.back().error = err;
    return err;
}

DWORD FileSteps::Write(HANDLE Handle, const void* Data, std::size_t Count)
{
    if (const DWORD err = Note(FileStep::Write, {}, {}, Count))
        return err;
    return TFileOps::Write(Handle, Data, Count);
}

DWORD FileSteps::Flush(HANDLE Handle)
{
    if (const DWORD err = Note(FileStep::Flush))
        return err;
    return TFileOps::Flush(Handle);
}

DWORD FileSteps::Close(HANDLE Handle)
{
    const DWORD err = Note(FileStep::Close);
    const DWORD closed = TFileOps::Close(Handle);
    return err ? err : closed;
}

DWORD FileSteps::Move(const AnsiString& From, const AnsiString& To)
{
    if (const DWORD err = Note(FileStep::Move, From, To))
        return err;
    return TFileOps::Move(From, To);
}

DWORD FileSteps::Read(const AnsiString& Name, AnsiString& Bytes)
{
    if (const DWORD err = Note(FileStep::Read, Name))
        return err;
    return TFileOps::Read(Name, Bytes);
}

} // namespace testkit

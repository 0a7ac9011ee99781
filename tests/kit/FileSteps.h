// Recording and failing the runtime's file operations (TFileOps): while a FileSteps lives, every
// file operation of the program goes through it, is noted as a step and is passed on, or fails
// with an OS error without being done.
#pragma once

#include "SysUtils.h"

#include <string>
#include <vector>

namespace testkit {

enum class FileStep { CreateTemp, Write, Flush, Close, Move, Read };

// "create-temp", "write", "flush", "close", "move", "read".
const char* FileStepName(FileStep step);

class FileSteps : public TFileOps {
public:
    struct Step {
        FileStep kind;
        std::string path;     // CreateTemp: the folder; Move: the source; Read: the file
        std::string result;   // CreateTemp: the temporary file made; Move: the target
        std::size_t count = 0; // Write: the byte count
        DWORD error = 0;      // the error answered (0 when done)
    };

    FileSteps();
    ~FileSteps() override;

    // The n-th (1-based) operation of this kind from now on answers error and is not done (a
    // failed Close still closes the handle, as the system's does).
    void FailAt(FileStep kind, DWORD error, int occurrence = 1);

    const std::vector<Step>& Steps() const { return steps_; }
    // The kinds in order, joined by blanks, e.g. "create-temp write flush close move".
    std::string Kinds() const;
    void Clear() { steps_.clear(); }

    DWORD CreateTemp(const AnsiString& Dir, AnsiString& Name, HANDLE& Handle) override;
    DWORD Write(HANDLE Handle, const void* Data, std::size_t Count) override;
    DWORD Flush(HANDLE Handle) override;
    DWORD Close(HANDLE Handle) override;
    DWORD Move(const AnsiString& From, const AnsiString& To) override;
    DWORD Read(const AnsiString& Name, AnsiString& Bytes) override;

private:
    // Notes the step; answers the error to fail it with (0: go on).
    DWORD Note(FileStep kind, std::string path = {}, std::string result = {}, std::size_t count = 0);

    std::vector<Step> steps_;
    FileStep failKind_ = FileStep::CreateTemp;
    DWORD failError_ = 0;
    int failLeft_ = 0;
    TFileOpsOverride override_;
};

} // namespace testkit

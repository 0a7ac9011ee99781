#include "TestKit.h"
#include "WideNames.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <stdexcept>

namespace testkit {

std::string DataDir()
{
#ifdef VELLORN_TEST_DATA
    return std::string(VELLORN_TEST_DATA) + "\\";
#else
    char buf[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VELLORN_SOURCE_DIR", buf, sizeof buf);
    std::string dir(buf, n);
    return "Z:" + dir + "\\tests\\data\\";
#endif
}

std::string OutputDir()
{
    char self[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string path(self, n);
    return path.substr(0, path.find_last_of('\\') + 1);
}

SelfRun RunSelf(const std::string& Test, const std::string& Name, const std::string& Value)
{
    SelfRun run;
    TempDir dir;
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE out = CreateFileA((dir / "out.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    if (out == INVALID_HANDLE_VALUE)
        return run;
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string cmd = std::string("\"") + exe + "\" --gtest_filter=" + Test + " --gtest_also_run_disabled_tests";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = si.hStdError = out;
    PROCESS_INFORMATION pi{};
    if (!Name.empty())
        SetEnvironmentVariableA(Name.c_str(), Value.c_str());
    const BOOL started = CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si, &pi);
    if (!Name.empty())
        SetEnvironmentVariableA(Name.c_str(), nullptr);
    CloseHandle(out);
    if (!started)
        return run;
    if (WaitForSingleObject(pi.hProcess, kPatienceMs) != WAIT_OBJECT_0) {
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, kPatienceMs);
    }
    GetExitCodeProcess(pi.hProcess, &run.code);
    run.pid = pi.dwProcessId;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    run.output = ReadFileBytes(dir / "out.txt");
    return run;
}

namespace {

// By wide names under "\\?\\": entries the program's code page cannot name go as well.
void RemoveTree(const std::wstring& dir)
{
    WIN32_FIND_DATAW fd;
    HANDLE h = FindFirstFileW((dir + L"*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            const std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            const std::wstring full = dir + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(full + L"\\");
            } else {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(h, &fd));
        FindClose(h);
    }
    RemoveDirectoryW(dir.c_str());
}

std::wstring LongWide(const std::string& Path)
{
    std::wstring wide(Path.size() + 1, L'\0');
    wide.resize(static_cast<std::size_t>(MultiByteToWideChar(CP_ACP, 0, Path.c_str(), -1, wide.data(),
                                                             static_cast<int>(wide.size())) - 1));
    return L"\\\\?\\" + wide;
}

} // namespace

TempDir::TempDir()
{
    static std::atomic<unsigned> counter{0};
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    for (int attempt = 0; attempt < 1000; ++attempt) {
        std::string candidate = std::string(base) + "vlt" + std::to_string(GetCurrentProcessId()) + "_" +
                                std::to_string(counter++) + "\\";
        if (CreateDirectoryA(candidate.c_str(), nullptr)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir()
{
    // A file dialog makes the folder it was in the current one, and the current folder cannot
    // be removed: step out of it first.
    char current[MAX_PATH];
    const DWORD n = GetCurrentDirectoryA(sizeof current, current);
    if (n && n < sizeof current && _strnicmp((std::string(current) + "\\").c_str(), path_.c_str(), path_.size()) == 0) {
        char base[MAX_PATH];
        GetTempPathA(sizeof base, base);
        SetCurrentDirectoryA(base);
    }
    RemoveTree(LongWide(path_));
}

std::string ReadFileBytes(const std::string& path)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return {};
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got > 0)
        out.append(buf, got);
    CloseHandle(h);
    return out;
}

void WriteFileBytes(const std::string& path, const std::string& bytes)
{
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot write " + path);
    DWORD put = 0;
    WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr);
    CloseHandle(h);
}

std::string JpegWithSize(std::string jpeg, int width, int height)
{
    for (size_t i = 2; i + 9 < jpeg.size();) {
        const unsigned char marker = static_cast<unsigned char>(jpeg[i + 1]);
        if (marker == 0xC0 || marker == 0xC2) { // baseline or progressive frame
            jpeg[i + 5] = char(height >> 8);
            jpeg[i + 6] = char(height);
            jpeg[i + 7] = char(width >> 8);
            jpeg[i + 8] = char(width);
            break;
        }
        i += 2 + ((static_cast<unsigned char>(jpeg[i + 2]) << 8) | static_cast<unsigned char>(jpeg[i + 3]));
    }
    return jpeg;
}

void MakeWide(const std::string& Dir, const std::wstring& Name, const std::string& Bytes)
{
    const std::wstring path = LongWide(Dir) + Name;
    if (!Name.empty() && Name.back() == L'\\') {
        CreateDirectoryW(path.c_str(), nullptr);
        return;
    }
    HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, Bytes.data(), static_cast<DWORD>(Bytes.size()), &written, nullptr);
    CloseHandle(h);
}

} // namespace testkit

#include "base/win.h"
#include "run_tool.h"

namespace {

std::wstring Wide(const std::string& utf8) {
    int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          size);
    return wide;
}

// One argument as the C runtime's command-line parser gives it back: quoted,
// with the backslashes before a quote doubled and the quote escaped.
void AppendQuoted(std::wstring& line, const std::wstring& argument) {
    line += L" \"";
    size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        line.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        line += c;
        backslashes = 0;
    }
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

class OutputFile {
public:
    explicit OutputFile(const std::filesystem::path& path) {
        SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
        handle_ = ::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    ~OutputFile() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle_);
        }
    }
    OutputFile(const OutputFile&) = delete;
    OutputFile& operator=(const OutputFile&) = delete;
    HANDLE handle() const { return handle_; }

private:
    HANDLE handle_;
};

}  // namespace

std::optional<int> RunProgram(const std::filesystem::path& program,
                              const std::vector<std::string>& arguments,
                              const std::filesystem::path& out, const std::filesystem::path& err,
                              int& error) {
    std::wstring line = L"\"" + program.wstring() + L"\"";
    for (const std::string& argument : arguments) {
        AppendQuoted(line, Wide(argument));
    }
    OutputFile out_file(out), err_file(err);
    if (out_file.handle() == INVALID_HANDLE_VALUE || err_file.handle() == INVALID_HANDLE_VALUE) {
        error = static_cast<int>(::GetLastError());
        return std::nullopt;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out_file.handle();
    startup.hStdError = err_file.handle();
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process)) {
        error = static_cast<int>(::GetLastError());
        return std::nullopt;
    }
    ::CloseHandle(process.hThread);
    ::WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    ::GetExitCodeProcess(process.hProcess, &code);
    ::CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

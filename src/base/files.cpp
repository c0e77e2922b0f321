#include "base/files.h"

#include "base/win_handles.h"

std::optional<std::string> readWholeFile(const std::wstring& path)
{
    UniqueHandle file = ownFileHandle(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    for (;;) {
        if (!ReadFile(file.get(), chunk, sizeof chunk, &got, nullptr))
            return std::nullopt;
        if (got == 0)
            return bytes;
        bytes.append(chunk, got);
    }
}

bool replaceFileContents(const std::wstring& path, std::string_view bytes)
{
    const std::wstring temporary = path + L".tmp";
    bool written = false;
    {
        UniqueHandle file = ownFileHandle(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file)
            return false;
        DWORD put = 0;
        written = WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &put, nullptr) &&
                  put == bytes.size() && FlushFileBuffers(file.get());
    }
    if (written && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileW(temporary.c_str());
    return false;
}

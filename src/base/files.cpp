#include "base/files.h"

#include <algorithm>

#include "base/win_handles.h"

FileContents readWholeFile(const std::wstring& path)
{
    // Editors and sync tools keep the file open for writing or renaming.
    UniqueHandle file = ownFileHandle(CreateFileW(path.c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        const DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return {FileContents::missing, {}};
        return {FileContents::unreadable, {}};
    }
    FileContents contents{FileContents::read, {}};
    char chunk[4096];
    DWORD got = 0;
    while (contents.bytes.size() < fileReadLimit) {
        const DWORD wanted = static_cast<DWORD>(std::min(sizeof chunk, fileReadLimit - contents.bytes.size()));
        if (!ReadFile(file.get(), chunk, wanted, &got, nullptr))
            return {FileContents::unreadable, {}};
        if (got == 0)
            break;
        contents.bytes.append(chunk, got);
    }
    return contents;
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

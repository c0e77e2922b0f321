#include "FetchThread.h"

#include <memory>

bool FetchThread::start(HWND target, UINT message, unsigned serial, unsigned short port, std::string hostPort,
                        std::string path, std::string userAgent) {
    auto job = std::make_unique<FetchThread>();
    job->target_ = target;
    job->message_ = message;
    job->serial_ = serial;
    job->port_ = port;
    job->hostPort_ = std::move(hostPort);
    job->path_ = std::move(path);
    job->userAgent_ = std::move(userAgent);
    // The thread keeps the DLL loaded until it has left our code.
    HMODULE self = nullptr;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCWSTR>(&FetchThread::run),
                            &self))
        return false;
    HANDLE thread = CreateThread(nullptr, 0, &FetchThread::run, job.get(), 0, nullptr);
    if (!thread) {
        FreeLibrary(self);
        return false;
    }
    job.release();
    CloseHandle(thread);
    return true;
}

DWORD WINAPI FetchThread::run(void* param) {
    {
        std::unique_ptr<FetchThread> job(static_cast<FetchThread*>(param));
        auto done = std::make_unique<Done>();
        done->serial = job->serial_;
        done->result = HttpGet::fetch(job->port_, job->hostPort_, job->path_, job->userAgent_);
        // The control may be gone; then nobody takes the result.
        if (PostMessageW(job->target_, job->message_, 0, reinterpret_cast<LPARAM>(done.get()))) done.release();
    }
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&FetchThread::run), &self);
    FreeLibraryAndExitThread(self, 0);
}

#pragma once
#include <windows.h>

// The DLL itself: its instance handle, the count of live objects and locks
// that keeps it loaded, and the window classes it registered.
class Module {
public:
    static HINSTANCE instance();
    static void lock();
    static void unlock();
    static bool inUse();
    // Registers a window class of this module once per process.
    static void registerClass(const wchar_t* name, WNDPROC proc, HBRUSH background = nullptr);
    static void unregisterClasses();
};

// Holds the module loaded while an object of the module lives.
class ModuleLock {
public:
    ModuleLock() { Module::lock(); }
    ~ModuleLock() { Module::unlock(); }
    ModuleLock(const ModuleLock&) = delete;
    ModuleLock& operator=(const ModuleLock&) = delete;
};

#pragma once
#include <windows.h>
#include <unknwn.h>

#include <atomic>

#include "Module.h"

// Makes the stand-in browser control for CoCreateInstance.
class ClassFactory : public IClassFactory {
public:
    static const CLSID clsid;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    virtual ~ClassFactory() = default;
    std::atomic<ULONG> refs_{1};
    ModuleLock moduleLock_;
};

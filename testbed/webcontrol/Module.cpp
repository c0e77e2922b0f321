#include "Module.h"

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include "ClassFactory.h"

namespace {

HINSTANCE moduleInstance;
std::atomic<long> locks{0};
std::mutex classLock;
std::vector<std::wstring> classes;

}  // namespace

HINSTANCE Module::instance() { return moduleInstance; }
void Module::lock() { ++locks; }
void Module::unlock() { --locks; }
bool Module::inUse() { return locks > 0; }

void Module::registerClass(const wchar_t* name, WNDPROC proc, HBRUSH background) {
    std::lock_guard guard(classLock);
    for (const auto& c : classes)
        if (c == name) return;
    WNDCLASSW wc{};
    wc.lpfnWndProc = proc;
    wc.hInstance = moduleInstance;
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.hbrBackground = background;
    wc.lpszClassName = name;
    if (RegisterClassW(&wc)) classes.emplace_back(name);
}

void Module::unregisterClasses() {
    std::lock_guard guard(classLock);
    for (const auto& c : classes) UnregisterClassW(c.c_str(), moduleInstance);
    classes.clear();
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, void* reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        moduleInstance = instance;
        DisableThreadLibraryCalls(instance);
    } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
        // Unloaded by FreeLibrary: no window of ours is left (DllCanUnloadNow said so).
        Module::unregisterClasses();
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualCLSID(clsid, ClassFactory::clsid)) return CLASS_E_CLASSNOTAVAILABLE;
    auto* factory = new ClassFactory;
    HRESULT hr = factory->QueryInterface(iid, out);
    factory->Release();
    return hr;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() { return Module::inUse() ? S_FALSE : S_OK; }

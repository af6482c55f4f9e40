// System libraries that start-up does not need, loaded at their first use.
#pragma once

#include <windows.h>

// A system library loaded at its first use and kept until the process ends.
class LazyModule {
public:
    explicit LazyModule(const char* name) : m_name(name) {}
    LazyModule(const LazyModule&) = delete;
    LazyModule& operator=(const LazyModule&) = delete;
    ~LazyModule() {
        if (m_module != nullptr) {
            ::FreeLibrary(m_module);
        }
    }

    template <typename Function>
    Function Get(const char* procName) {
        if (m_module == nullptr && !m_tried) {
            m_tried = true;
            m_module = ::LoadLibraryA(m_name);
        }
        const FARPROC proc = m_module != nullptr ? ::GetProcAddress(m_module, procName) : nullptr;
        // Through the generic function pointer type, which any other may be cast from.
        return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
    }

private:
    const char* m_name;
    HMODULE m_module = nullptr;
    bool m_tried = false;
};

// The network provider library is needed only for the names of network
// drives, which nothing asks for while the bar starts.
inline LazyModule& Mpr() {
    static LazyModule mpr("mpr.dll");
    return mpr;
}

// OLE, with the COM runtime it brings, serves only dropping files on the bar,
// which is set up once the bar is shown.
inline LazyModule& Ole32() {
    static LazyModule ole32("ole32.dll");
    return ole32;
}

// The window system's per-monitor scale calls come with Windows 10; before
// it they are missing, and the system's DPI is the only one.
inline LazyModule& User32() {
    static LazyModule user32("user32.dll");
    return user32;
}

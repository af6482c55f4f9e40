// Windows bound to framework objects: creation, dialogs, subclassing and the
// message loop.
#include "platform/Wnd.h"
#include "platform/win32/Win32Os.h"

namespace {

LRESULT CALLBACK WindowThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Marks a window bound to an object. A procedure check alone would lose the
// binding once another subclass (a tooltip's) sits on top of ours.
constexpr const char* kBoundProperty = "VosselBound";

WNDPROC SuperOf(const CWnd* object) {
    return reinterpret_cast<WNDPROC>(reinterpret_cast<LONG_PTR>(object->m_pfnSuper));
}

void Bind(HWND hwnd, CWnd* object) {
    object->m_hWnd = hwnd;
    // User data first: the thunk must find the object from its first message on.
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    ::SetPropA(hwnd, kBoundProperty, reinterpret_cast<HANDLE>(1));
    const LONG_PTR super = ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowThunk));
    object->m_pfnSuper = reinterpret_cast<void*>(super);
}

CWnd* BoundObject(HWND hwnd) {
    if (hwnd == nullptr || ::GetPropA(hwnd, kBoundProperty) == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

LRESULT CALLBACK WindowThunk(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    CWnd* object = reinterpret_cast<CWnd*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (object == nullptr) {
        return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    if (msg != WM_NCDESTROY) {
        return CWnd::Dispatch(object, hwnd, msg, wParam, lParam);
    }
    // The object may be gone once it has seen its last message, so the
    // window gets its own procedure back from what was saved beforehand.
    const LONG_PTR super = reinterpret_cast<LONG_PTR>(object->m_pfnSuper);
    const LRESULT result = CWnd::Dispatch(object, hwnd, msg, wParam, lParam);
    ::SetWindowLongPtrA(hwnd, GWLP_WNDPROC, super);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    ::RemovePropA(hwnd, kBoundProperty);
    return result;
}

// The system creates a default IME window alongside the first window of a
// thread; it must not take the object meant for ours.
bool IsImeWindow(HWND hwnd) {
    if ((::GetClassLongPtrA(hwnd, GCL_STYLE) & CS_IME) != 0) {
        return true;
    }
    char name[8] = {};
    ::GetClassNameA(hwnd, name, static_cast<int>(sizeof(name)));
    return ::lstrcmpiA(name, "IME") == 0;
}

struct PendingBinding {
    CWnd* object;
    HHOOK hook;
};
thread_local PendingBinding* t_pending = nullptr;

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
    PendingBinding* pending = t_pending;
    const HHOOK hook = pending != nullptr ? pending->hook : nullptr;
    const LRESULT next = ::CallNextHookEx(hook, code, wParam, lParam);
    if (code == HCBT_CREATEWND && next == 0 && hook != nullptr) {
        const HWND hwnd = reinterpret_cast<HWND>(wParam);
        if (!IsImeWindow(hwnd)) {
            ::UnhookWindowsHookEx(hook);
            pending->hook = nullptr;
            Bind(hwnd, pending->object);
        }
    }
    return next;
}

// Binds the first window the thread creates while it lives to the object,
// before the window's first message, so that WM_NCCREATE and WM_CREATE reach it.
class BindOnCreation {
public:
    explicit BindOnCreation(CWnd* object) : m_pending{object, nullptr}, m_previous(t_pending) {
        if (object != nullptr) {
            m_pending.hook = ::SetWindowsHookExA(WH_CBT, CreationHook, nullptr, ::GetCurrentThreadId());
            t_pending = &m_pending;
        }
    }
    BindOnCreation(const BindOnCreation&) = delete;
    BindOnCreation& operator=(const BindOnCreation&) = delete;
    ~BindOnCreation() {
        if (m_pending.hook != nullptr) {
            ::UnhookWindowsHookEx(m_pending.hook);
        }
        if (m_pending.object != nullptr) {
            t_pending = m_previous;
        }
    }

    bool Ready() const { return m_pending.object == nullptr || m_pending.hook != nullptr; }

private:
    PendingBinding m_pending;
    PendingBinding* m_previous;
};

INT_PTR CALLBACK PassiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

bool RegisterFrameworkClass(HINSTANCE instance) {
    WNDCLASSEXA existing{};
    existing.cbSize = sizeof(existing);
    if (::GetClassInfoExA(instance, kFrameworkWindowClass, &existing)) {
        return true;
    }
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = ::DefWindowProcA;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = kFrameworkWindowClass;
    return ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

HWND Win32Os::CreateWindowExA(DWORD exStyle, const char* className, const char* text, DWORD style, int x, int y, int cx,
                              int cy, HWND parent, UINT id, CWnd* object) {
    const HINSTANCE instance = ::GetModuleHandleA(nullptr);
    const char* windowClass = className != nullptr ? className : kFrameworkWindowClass;
    if (::lstrcmpiA(windowClass, kFrameworkWindowClass) == 0 && !RegisterFrameworkClass(instance)) {
        return nullptr;
    }
    // Only a child's menu handle is its control id; for a top-level window it is a menu.
    const HMENU menu = (style & WS_CHILD) != 0 ? reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)) : nullptr;
    BindOnCreation binding(object);
    if (!binding.Ready()) {
        return nullptr;
    }
    return ::CreateWindowExA(exStyle, windowClass, text, style, x, y, cx, cy, parent, menu, instance, nullptr);
}

INT_PTR Win32Os::DialogBoxParamA(UINT templateId, HWND parent, CWnd* dialog) {
    BindOnCreation binding(dialog);
    if (!binding.Ready()) {
        return -1;
    }
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent, PassiveDialogProc, 0);
}

HWND Win32Os::CreateDialogParamA(UINT templateId, HWND parent, CWnd* dialog) {
    BindOnCreation binding(dialog);
    if (!binding.Ready()) {
        return nullptr;
    }
    return ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), parent, PassiveDialogProc,
                                0);
}

BOOL Win32Os::EndDialog(HWND dialog, INT_PTR result) { return ::EndDialog(dialog, result); }

BOOL Win32Os::SubclassWindow(HWND hwnd, CWnd* object) {
    if (object == nullptr || !::IsWindow(hwnd) || BoundObject(hwnd) != nullptr) {
        return FALSE;
    }
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != ::GetCurrentProcessId()) {
        return FALSE;
    }
    Bind(hwnd, object);
    return TRUE;
}

CWnd* Win32Os::FromHandle(HWND hwnd) { return BoundObject(hwnd); }

LRESULT Win32Os::DefaultProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    const CWnd* object = BoundObject(hwnd);
    if (object != nullptr && object->m_pfnSuper != nullptr) {
        return ::CallWindowProcA(SuperOf(object), hwnd, msg, wParam, lParam);
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}

BOOL Win32Os::DestroyWindow(HWND hwnd) { return ::DestroyWindow(hwnd); }

int Win32Os::RunMessageLoop() {
    MSG msg{};
    for (;;) {
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) {
            return static_cast<int>(msg.wParam);
        }
        if (got == -1) {
            return -1;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
}

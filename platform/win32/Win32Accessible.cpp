// The accessible object of a window whose framework object tells a screen
// reader more than the system's own object does. Name, role, default action
// and description come from CWnd::GetAccessibleAnswers at every question,
// so a reader always hears what holds now; everything else (children,
// places, states, navigation) comes from the system's object it wraps.
// clang-format off
#include "platform/win32/Win32Os.h"
#include <new>
#include <oleacc.h>
// clang-format on

#include "platform/Wnd.h"
#include "platform/win32/ComPtr.h"
#include "platform/win32/LazyModule.h"

namespace {

// Loaded when a screen reader first asks: most runs never need them.
LazyModule& Oleacc() {
    static LazyModule oleacc("oleacc.dll");
    return oleacc;
}

LazyModule& Oleaut32() {
    static LazyModule oleaut32("oleaut32.dll");
    return oleaut32;
}

const IID kIidAccessible = {0x618736E0, 0x3C3D, 0x11CF, {0x81, 0x0C, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71}};

bool IsSelf(const VARIANT& child) { return child.vt == VT_I4 && child.lVal == CHILDID_SELF; }

// The answers of the window's framework object; false when it has none now.
bool AnswersOf(HWND hwnd, AccessibleAnswers* answers) {
    CWnd* object = ::IsWindow(hwnd) ? Os().win.FromHandle(hwnd) : nullptr;
    return object != nullptr && object->GetAccessibleAnswers(hwnd, answers);
}

HRESULT Text(const std::wstring& text, BSTR* out) {
    using SysAllocStringLenProc = BSTR(WINAPI*)(const OLECHAR*, UINT);
    const auto alloc = Oleaut32().Get<SysAllocStringLenProc>("SysAllocStringLen");
    *out = alloc != nullptr ? alloc(text.c_str(), static_cast<UINT>(text.size())) : nullptr;
    return *out != nullptr ? S_OK : E_OUTOFMEMORY;
}

class AccessibleWindow final : public IAccessible, public IOleWindow {
public:
    // Takes over the reference to the system's object.
    AccessibleWindow(HWND hwnd, IAccessible* standard) : m_hwnd(hwnd), m_standard(standard) {}
    AccessibleWindow(const AccessibleWindow&) = delete;
    AccessibleWindow& operator=(const AccessibleWindow&) = delete;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, kIidAccessible)) {
            *out = static_cast<IAccessible*>(this);
        } else if (IsEqualIID(iid, IID_IOleWindow)) {
            *out = static_cast<IOleWindow*>(this);
        } else {
            *out = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    // IOleWindow: the window, as WindowFromAccessibleObject asks for it.
    HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override {
        if (hwnd == nullptr) {
            return E_POINTER;
        }
        *hwnd = m_hwnd;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

    // IDispatch
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return m_standard->GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return m_standard->GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return m_standard->GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argument) override {
        return m_standard->Invoke(id, iid, locale, flags, params, result, exception, argument);
    }

    // IAccessible: the window's own answers for itself, the system's for the rest.
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
        return OwnText(child, name, &AccessibleAnswers::name, &IAccessible::get_accName);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
        AccessibleAnswers answers;
        if (role != nullptr && IsSelf(child) && AnswersOf(m_hwnd, &answers) && answers.role != 0) {
            role->vt = VT_I4;
            role->lVal = answers.role;
            return S_OK;
        }
        return m_standard->get_accRole(child, role);
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
        return OwnText(child, action, &AccessibleAnswers::defaultAction, &IAccessible::get_accDefaultAction);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
        return OwnText(child, description, &AccessibleAnswers::description, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
        AccessibleAnswers answers;
        if (IsSelf(child) && AnswersOf(m_hwnd, &answers) && !answers.defaultAction.empty()) {
            // A click, as the system's button object does it, once the reader's call has returned.
            return ::PostMessageW(m_hwnd, BM_CLICK, 0, 0) ? S_OK : E_FAIL;
        }
        return m_standard->accDoDefaultAction(child);
    }

    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override { return m_standard->get_accParent(parent); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) override { return m_standard->get_accChildCount(count); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** dispatch) override {
        return m_standard->get_accChild(child, dispatch);
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
        return m_standard->get_accValue(child, value);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
        return m_standard->get_accState(child, state);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
        return m_standard->get_accHelp(child, help);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) override {
        return m_standard->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
        return m_standard->get_accKeyboardShortcut(child, shortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override { return m_standard->get_accFocus(focus); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
        return m_standard->get_accSelection(selection);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
        return m_standard->accSelect(flags, child);
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return m_standard->accLocation(left, top, width, height, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* end) override {
        return m_standard->accNavigate(direction, start, end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* child) override {
        return m_standard->accHitTest(x, y, child);
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override {
        return m_standard->put_accName(child, name);
    }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override {
        return m_standard->put_accValue(child, value);
    }

private:
    ~AccessibleWindow() = default;

    // One of the window's own texts for itself when it has one, else the system's answer.
    HRESULT OwnText(VARIANT child, BSTR* out, std::wstring AccessibleAnswers::*text,
                    HRESULT (STDMETHODCALLTYPE IAccessible::*standard)(VARIANT, BSTR*)) {
        AccessibleAnswers answers;
        if (out != nullptr && IsSelf(child) && AnswersOf(m_hwnd, &answers) && !(answers.*text).empty()) {
            return Text(answers.*text, out);
        }
        return (m_standard.Get()->*standard)(child, out);
    }

    LONG m_refs = 1;
    HWND m_hwnd;
    ComPtr<IAccessible> m_standard;
};

}  // namespace

LRESULT Win32Os::AnswerGetObject(HWND hwnd, WPARAM wParam, LPARAM lParam) {
    AccessibleAnswers answers;
    if (static_cast<DWORD>(lParam) != static_cast<DWORD>(OBJID_CLIENT) || !AnswersOf(hwnd, &answers)) {
        return 0;
    }
    using CreateStdAccessibleObjectProc = HRESULT(WINAPI*)(HWND, LONG, REFIID, void**);
    using LresultFromObjectProc = LRESULT(WINAPI*)(REFIID, WPARAM, LPUNKNOWN);
    const auto create = Oleacc().Get<CreateStdAccessibleObjectProc>("CreateStdAccessibleObject");
    const auto lresult = Oleacc().Get<LresultFromObjectProc>("LresultFromObject");
    IAccessible* standard = nullptr;
    if (create == nullptr || lresult == nullptr ||
        FAILED(create(hwnd, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(&standard))) ||
        standard == nullptr) {
        return 0;
    }
    auto* object = new (std::nothrow) AccessibleWindow(hwnd, standard);
    if (object == nullptr) {
        standard->Release();
        return 0;
    }
    // The answer holds a reference of its own; without COM (before OLE is
    // set up) it fails, and the system's object answers instead.
    const LRESULT result = lresult(kIidAccessible, wParam, static_cast<IAccessible*>(object));
    object->Release();
    return result > 0 ? result : 0;
}

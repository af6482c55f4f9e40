// Drag and drop, file lists, the folder dialog and the shell's file
// operation, and the child-window walk the tooltips need.
#include <cstring>
#include <map>

#include "platform/OleDropTarget.h"
#include "platform/win32/LazyModule.h"
#include "platform/win32/Win32Os.h"

namespace {

// ole32 is not among the program's imports (see LazyModule.h); a drag can only
// reach the bar once OLE was initialised through it, so these find it loaded.
void ReleaseMedium(STGMEDIUM* medium) {
    using Function = void(WINAPI*)(STGMEDIUM*);
    if (const auto function = Ole32().Get<Function>("ReleaseStgMedium")) {
        function(medium);
    }
}

HRESULT OleRegisterDragDrop(HWND hwnd, IDropTarget* target) {
    using Function = HRESULT(WINAPI*)(HWND, IDropTarget*);
    const auto function = Ole32().Get<Function>("RegisterDragDrop");
    return function != nullptr ? function(hwnd, target) : CO_E_NOTINITIALIZED;
}

HRESULT OleRevokeDragDrop(HWND hwnd) {
    using Function = HRESULT(WINAPI*)(HWND);
    const auto function = Ole32().Get<Function>("RevokeDragDrop");
    return function != nullptr ? function(hwnd) : CO_E_NOTINITIALIZED;
}

FORMATETC GlobalFormat(UINT format) {
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// The data object of the drag under way, as the framework asks for it.
class DataObjectBridge final : public IDragData {
public:
    DataObjectBridge() = default;
    DataObjectBridge(const DataObjectBridge&) = delete;
    DataObjectBridge& operator=(const DataObjectBridge&) = delete;
    ~DataObjectBridge() override { Attach(nullptr); }

    void Attach(IDataObject* object) {
        if (object != nullptr) {
            object->AddRef();
        }
        if (m_object != nullptr) {
            m_object->Release();
        }
        m_object = object;
    }

    BOOL IsDataAvailable(UINT format) override {
        FORMATETC wanted = GlobalFormat(format);
        return m_object != nullptr && m_object->QueryGetData(&wanted) == S_OK;
    }

    HGLOBAL GetGlobalData(UINT format) override {
        FORMATETC wanted = GlobalFormat(format);
        STGMEDIUM medium{};
        if (m_object == nullptr || FAILED(m_object->GetData(&wanted, &medium))) {
            return nullptr;
        }
        if (medium.tymed != TYMED_HGLOBAL) {
            ReleaseMedium(&medium);
            return nullptr;
        }
        if (medium.pUnkForRelease == nullptr) {
            return medium.hGlobal;  // handed over: ours to free
        }
        // The source keeps its memory: the caller gets a copy it can free.
        const SIZE_T size = ::GlobalSize(medium.hGlobal);
        HGLOBAL copy = ::GlobalAlloc(GMEM_MOVEABLE, size);
        const void* from = copy != nullptr ? ::GlobalLock(medium.hGlobal) : nullptr;
        void* to = from != nullptr ? ::GlobalLock(copy) : nullptr;
        if (to != nullptr) {
            std::memcpy(to, from, size);
            ::GlobalUnlock(copy);
        } else if (copy != nullptr) {
            ::GlobalFree(copy);
            copy = nullptr;
        }
        if (from != nullptr) {
            ::GlobalUnlock(medium.hGlobal);
        }
        ReleaseMedium(&medium);
        return copy;
    }

private:
    IDataObject* m_object = nullptr;
};

// The COM face of a framework drop target; OLE holds it while registered.
class DropTargetBridge final : public IDropTarget {
public:
    explicit DropTargetBridge(COleDropTarget* target) : m_target(target) {}
    DropTargetBridge(const DropTargetBridge&) = delete;
    DropTargetBridge& operator=(const DropTargetBridge&) = delete;
    virtual ~DropTargetBridge() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *object = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = ::InterlockedDecrement(&m_refs);
        if (refs == 0) {
            delete this;
        }
        return static_cast<ULONG>(refs);
    }

    // A drag under way may still hold the bridge after its target is revoked.
    void Detach() {
        m_target = nullptr;
        m_data.Attach(nullptr);
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override {
        m_data.Attach(data);
        *effect =
            m_target != nullptr ? m_target->DragEnter(&m_data, keyState, POINT{pt.x, pt.y}, *effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL pt, DWORD* effect) override {
        *effect = m_target != nullptr ? m_target->DragOver(keyState, POINT{pt.x, pt.y}, *effect) : DROPEFFECT_NONE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        if (m_target != nullptr) {
            m_target->DragLeave();
        }
        m_data.Attach(nullptr);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL pt, DWORD* effect) override {
        m_data.Attach(data);
        *effect = m_target != nullptr ? m_target->Drop(&m_data, keyState, POINT{pt.x, pt.y}, *effect) : DROPEFFECT_NONE;
        m_data.Attach(nullptr);
        return S_OK;
    }

private:
    LONG m_refs = 1;
    COleDropTarget* m_target;
    DataObjectBridge m_data;
};

// The bridges of the registered windows, kept by OLE; one UI thread uses them.
std::map<HWND, DropTargetBridge*> g_bridges;

}  // namespace

BOOL Win32Os::EnumChildWindows(HWND parent, WNDENUMPROC proc, LPARAM lParam) {
    return ::EnumChildWindows(parent, proc, lParam);
}

UINT Win32Os::DragQueryFileW(HDROP drop, UINT index, WCHAR* buffer, UINT size) {
    return ::DragQueryFileW(drop, index, buffer, size);
}

void Win32Os::DragFinish(HDROP drop) { ::DragFinish(drop); }

int Win32Os::SHFileOperationW(SHFILEOPSTRUCTW* operation) { return ::SHFileOperationW(operation); }

ITEMIDLIST* Win32Os::SHBrowseForFolderW(BROWSEINFOW* info) { return ::SHBrowseForFolderW(info); }

BOOL Win32Os::SHGetPathFromIDListW(const ITEMIDLIST* list, WCHAR* path) { return ::SHGetPathFromIDListW(list, path); }

void Win32Os::ILFree(ITEMIDLIST* list) {
    IMalloc* allocator = nullptr;
    if (list != nullptr && SUCCEEDED(::SHGetMalloc(&allocator))) {
        allocator->Free(list);
        allocator->Release();
    }
}

HRESULT Win32Os::RegisterDragDrop(HWND hwnd, COleDropTarget* target) {
    auto* bridge = new DropTargetBridge(target);
    const HRESULT result = OleRegisterDragDrop(hwnd, bridge);
    if (result == S_OK) {
        g_bridges[hwnd] = bridge;
    }
    bridge->Release();  // OLE keeps its own reference while registered
    return result;
}

HRESULT Win32Os::RevokeDragDrop(HWND hwnd) {
    auto it = g_bridges.find(hwnd);
    if (it == g_bridges.end()) {
        return OleRevokeDragDrop(hwnd);
    }
    DropTargetBridge* bridge = it->second;
    g_bridges.erase(it);
    // Detached first: the revoke may release OLE's last reference.
    bridge->AddRef();
    bridge->Detach();
    const HRESULT result = OleRevokeDragDrop(hwnd);
    bridge->Release();
    return result;
}

int Win32Os::MultiByteToWideChar(UINT codePage, const char* text, int length, WCHAR* wide, int wideSize) {
    return ::MultiByteToWideChar(codePage, 0, text, length, wide, wideSize);
}

int Win32Os::WideCharToMultiByte(UINT codePage, const WCHAR* wide, int length, char* text, int size) {
    return ::WideCharToMultiByte(codePage, 0, wide, length, text, size, nullptr, nullptr);
}

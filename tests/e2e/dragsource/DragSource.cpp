// dragsource.exe: a window that starts an OLE drag of a file list when it is
// pressed, as Explorer does, and logs the effect the drop answered.
//
//   dragsource.exe <log file> <file>...
//
// The window is titled "Drag Source" and sits at (300, 300), 200 x 150.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
// clang-format off
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
// clang-format on

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::vector<std::string> g_files;
const char* g_log = nullptr;

void Log(const char* line) {
    if (FILE* f = std::fopen(g_log, "a")) {
        std::fprintf(f, "%s\n", line);
        std::fclose(f);
    }
}

HGLOBAL MakeFileList() {
    size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& f : g_files)
        size += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!memory)
        return nullptr;
    auto* files = static_cast<DROPFILES*>(GlobalLock(memory));
    files->pFiles = sizeof(DROPFILES);
    char* next = reinterpret_cast<char*>(files) + sizeof(DROPFILES);
    for (const std::string& f : g_files) {
        std::memcpy(next, f.c_str(), f.size() + 1);
        next += f.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

// The file list and the drag's feedback in one object, as both interfaces
// live exactly as long as the drag.
class Drag : public IDataObject, public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject))
            *out = static_cast<IDataObject*>(this);
        else if (IsEqualIID(iid, IID_IDropSource))
            *out = static_cast<IDropSource*>(this);
        else
            *out = nullptr;
        if (*out)
            AddRef();
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&m_refs)); }
    ULONG STDMETHODCALLTYPE Release() override {
        const LONG refs = InterlockedDecrement(&m_refs);
        if (refs == 0)
            delete this;
        return static_cast<ULONG>(refs);
    }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK)
            return DV_E_FORMATETC;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = MakeFileList();
        medium->pUnkForRelease = nullptr;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return direction == DATADIR_GET ? SHCreateStdEnumFmtEtc(1, &format, out) : E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        return escape ? DRAGDROP_S_CANCEL : (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    virtual ~Drag() = default;
    LONG m_refs = 1;
};

LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_LBUTTONDOWN) {
        Drag* drag = new Drag;
        DWORD effect = DROPEFFECT_NONE;
        const HRESULT hr = DoDragDrop(drag, drag, DROPEFFECT_COPY | DROPEFFECT_MOVE, &effect);
        char line[64];
        std::snprintf(line, sizeof line, "result=0x%08lX effect=%lu", static_cast<unsigned long>(hr),
                      static_cast<unsigned long>(effect));
        Log(line);
        static_cast<IDataObject*>(drag)->Release();
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: dragsource <log file> <file>...\n");
        return 2;
    }
    g_log = argv[1];
    g_files.assign(argv + 2, argv + argc);
    if (FAILED(OleInitialize(nullptr)))
        return 1;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    wc.lpszClassName = "VosselDragSource";
    RegisterClassA(&wc);
    HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "Drag Source", WS_POPUP | WS_BORDER | WS_VISIBLE, 300, 300, 200,
                                150, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd)
        return 1;
    Log("ready=1");
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    OleUninitialize();
    return 0;
}

// Shortcut file names from any link text, saved into special folders of any
// length through the link's own menu command.
#include <string_view>

#include "dialogs/LinkLabel.h"
#include "fuzz/FuzzWorld.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    FuzzWorld world;
    const int csidl = input.ConsumeBool() ? CSIDL_FAVORITES : CSIDL_DESKTOP;
    // The shell hands over C strings and takes them: nothing follows a zero.
    const std::string folder = input.ConsumeRandomLengthString(300).c_str();
    const std::string url = input.ConsumeRandomLengthString(100).c_str();
    const std::string text = input.ConsumeRemainingBytesAsString();

    const std::wstring wideFolder = Utf16FromUtf8(folder), wideText = WideFromAnsi(text);
    const std::wstring name = ShortcutFileName(wideText);
    FuzzCheck(name.size() <= wideText.size(), "the name is cut from the text");
    for (const WCHAR c : name) {
        FuzzCheck(c >= 0x20 && std::wstring_view(L"\\/:*?\"<>|").find(c) == std::wstring_view::npos,
                  "the name holds only what a file name may");
    }
    const std::wstring path = ShortcutPath(wideFolder, wideText);
    const std::wstring file = name + L".URL";
    FuzzCheck(path.empty() ||
                  (path.size() < MAX_PATH && path.compare(0, wideFolder.size(), wideFolder) == 0 &&
                   path.size() > file.size() && path.compare(path.size() - file.size(), std::wstring::npos, file) == 0),
              "the path is the folder, then the name, and fits");

    world.os.SetSpecialFolder(csidl, folder);
    CLinkLabel link;
    link.SetLink(url, text, FALSE);
    if (link.AddShortcut(csidl)) {
        FuzzCheck(!path.empty() && world.os.FileContent(Utf8FromUtf16(path)) == url, "a saved shortcut holds the URL");
    }
    return 0;
}

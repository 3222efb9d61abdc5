// Registers the program's resources: dialog templates, strings, accelerators, bitmaps, icon, and
// the keyboard's key-tap table.
#include <cstddef>
#include <vector>
#include "resources/key_table.h"
#include "resources/program_resources.h"
#include "resources/resource_ids.h"

namespace {

struct StringResource {
    UINT id;
    const WCHAR* text;
};
const StringResource kStrings[] = {
    {IDS_APP_TITLE, STR_APP_TITLE},
    {IDS_WINDOW_CLASS, STR_WINDOW_CLASS},
    {IDS_HELP, TEXT("ヘルプ")},
    {IDS_EXIT, TEXT("終了")},
};

// Accelerator table 3: flags, key, command, padding; 0x80 marks the last entry.
const WORD kAccelerators[] = {
    0x0B, 0x41, IDM_ABOUT, 0,  // Ctrl+A
    0x0B, 0x51, IDOK, 0,       // Ctrl+Q
    0x0B, 0x43, IDM_COPY, 0,   // Ctrl+C
    0x8B, 0x56, IDM_PASTE, 0,  // Ctrl+V
};

struct BlobResource {
    LPCWSTR type;
    UINT id;
    const char* file;
};
const BlobResource kBlobs[] = {
    {RT_BITMAP, IDB_KEY_DIGIT, "key_digit.bmp"},
    {RT_BITMAP, IDB_KEY_CLEAR, "key_clear.bmp"},
    {RT_BITMAP, IDB_KEY_FUNC, "key_func.bmp"},
    {RT_BITMAP, IDB_KEY_PRESSED, "key_pressed.bmp"},
    {RT_BITMAP, IDB_KEY_EQUALS, "key_equals.bmp"},
    {RT_BITMAP, IDB_KEY_MODE, "key_mode.bmp"},
    {RT_GROUP_ICON, IDI_APPICON, "app_icon.ico"},
};

std::size_t Length(const WCHAR* s)
{
    std::size_t n = 0;
    while (s[n]) ++n;
    return n;
}

}  // namespace

void RegisterProgramResources(HINSTANCE instance)
{
    static const std::vector<WORD> calc = BuildDialogTemplate(CalcDialogDesc());
    static const std::vector<WORD> about = BuildDialogTemplate(AboutDialogDesc());
    static std::vector<ResourceEntry> entries;
    if (entries.empty()) {
        entries.push_back({RT_DIALOG, IDD_CALC, calc.data(), static_cast<DWORD>(calc.size() * sizeof(WORD))});
        entries.push_back({RT_DIALOG, IDD_ABOUTBOX, about.data(), static_cast<DWORD>(about.size() * sizeof(WORD))});
        for (const StringResource& s : kStrings) {
            entries.push_back({RT_STRING, s.id, s.text, static_cast<DWORD>(Length(s.text) * sizeof(WCHAR))});
        }
        entries.push_back({RT_ACCELERATOR, IDR_ACCELERATORS, kAccelerators, sizeof(kAccelerators)});
        for (const BlobResource& b : kBlobs) {
            std::size_t size = 0;
            const unsigned char* data = FindEmbeddedBlob(b.file, &size);
            if (data) entries.push_back({b.type, b.id, data, static_cast<DWORD>(size)});
        }
        AppendMenuResources(entries);
    }
    RegisterResources(instance, entries.data(), entries.size());
    std::size_t keyTapCount = 0;
    const KEYTAP* keyTaps = FaceKeyTaps(&keyTapCount);
    RegisterKeyTaps(instance, keyTaps, keyTapCount);
    std::size_t descriptionCount = 0;
    const CONTROLDESCRIPTION* descriptions = FaceKeyDescriptions(&descriptionCount);
    RegisterControlDescriptions(instance, descriptions, descriptionCount);
}

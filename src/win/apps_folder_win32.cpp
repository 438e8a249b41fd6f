#include "win/apps_folder_win32.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "win/handle_win32.h"
#include "win/platform_win32.h"

namespace win {
namespace {

// A string the shell allocated for us.
class CoTaskText {
  public:
    CoTaskText() = default;
    CoTaskText(const CoTaskText&) = delete;
    CoTaskText& operator=(const CoTaskText&) = delete;
    ~CoTaskText() { CoTaskMemFree(p_); }
    wchar_t** out() { return &p_; }
    const wchar_t* get() const { return p_; }

  private:
    wchar_t* p_ = nullptr;
};

std::optional<std::u16string> display_name(IShellItem* item, SIGDN form) {
    CoTaskText text;
    if (FAILED(item->GetDisplayName(form, text.out())) || !text.get()) return std::nullopt;
    const wchar_t* s = text.get();
    return std::u16string(s, s + wcslen(s));
}

// The id that "shell:AppsFolder\{id}" starts: an app's name relative to the
// folder (a packaged app's user model id, or a program's path).
constexpr SIGDN APP_ID_FORM = static_cast<SIGDN>(0x80018001);

}  // namespace

Result<std::vector<ShellItemNames>> enumerate_apps_folder() {
    ComRef<IShellItem> folder;
    HRESULT hr = SHGetKnownFolderItem(FOLDERID_AppsFolder, KF_FLAG_DEFAULT, nullptr, IID_IShellItem, folder.out());
    if (FAILED(hr) || !folder) return hresult_error(FAILED(hr) ? hr : E_POINTER);
    ComRef<IEnumShellItems> items;
    hr = folder->BindToHandler(nullptr, BHID_EnumItems, IID_IEnumShellItems, items.out());
    if (FAILED(hr) || !items) return hresult_error(FAILED(hr) ? hr : E_POINTER);

    std::vector<ShellItemNames> found;
    for (;;) {
        ComRef<IShellItem> item;
        ULONG fetched = 0;
        hr = items->Next(1, item.typed_out(), &fetched);
        if (FAILED(hr) || fetched == 0 || !item) break;
        found.push_back({display_name(item.get(), SIGDN_NORMALDISPLAY), display_name(item.get(), APP_ID_FORM)});
    }
    return found;
}

}  // namespace win

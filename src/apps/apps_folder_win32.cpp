#include "apps/apps_folder_win32.h"

#include <windows.h>

#include <knownfolders.h>
#include <shlguid.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <utility>

#include "win/platform_win32.h"

namespace apps {
namespace {

// One COM reference, released on every way out of the scope.
template <typename T>
class ComRef {
  public:
    ComRef() = default;
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ~ComRef() {
        if (p_) p_->Release();
    }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    void** out() { return reinterpret_cast<void**>(&p_); }
    T** typed_out() { return &p_; }

  private:
    T* p_ = nullptr;
};

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

win::Error com_error(HRESULT hr) {
    return win::Error{static_cast<std::uint32_t>(hr), win::system_message(static_cast<DWORD>(hr))};
}

// The id that "shell:AppsFolder\{id}" starts: an app's name relative to the
// folder (a packaged app's user model id, or a program's path).
constexpr SIGDN APP_ID_FORM = static_cast<SIGDN>(0x80018001);

}  // namespace

win::Result<std::vector<win::ShellItemNames>> enumerate_apps_folder() {
    ComRef<IShellItem> folder;
    HRESULT hr = SHGetKnownFolderItem(FOLDERID_AppsFolder, KF_FLAG_DEFAULT, nullptr, IID_IShellItem, folder.out());
    if (FAILED(hr) || !folder) return com_error(FAILED(hr) ? hr : E_POINTER);
    ComRef<IEnumShellItems> items;
    hr = folder->BindToHandler(nullptr, BHID_EnumItems, IID_IEnumShellItems, items.out());
    if (FAILED(hr) || !items) return com_error(FAILED(hr) ? hr : E_POINTER);

    std::vector<win::ShellItemNames> found;
    for (;;) {
        ComRef<IShellItem> item;
        ULONG fetched = 0;
        hr = items->Next(1, item.typed_out(), &fetched);
        if (FAILED(hr) || fetched == 0 || !item) break;
        found.push_back(
            {display_name(item.operator->(), SIGDN_NORMALDISPLAY), display_name(item.operator->(), APP_ID_FORM)});
    }
    return found;
}

}  // namespace apps

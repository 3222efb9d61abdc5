// What screen readers get of a dialog's controls beyond what the system's own objects give:
// the English description registered for a control (RegisterControlDescriptions), and a dialog's
// hidden edit control, the handheld's store for a display that the dialog paints itself, as
// shown read-only text at its place. Each such control answers WM_GETOBJECT with the system's
// object for it, wrapped to add these; everything else is the system's answer.
#define DEVICE_API_NO_REDIRECT
#include <oleacc.h>
#include <vector>
#include "platform/drivers/windows/device_api.h"
#include "platform/drivers/windows/windows_driver.h"
#include "platform/extras.h"

namespace {

struct DescriptionTable {
    HINSTANCE instance;
    const CONTROLDESCRIPTION* entries;
    std::size_t count;
};
std::vector<DescriptionTable> g_descriptionTables;

const wchar_t kOriginalProcProp[] = L"DeviceAccessibleOriginalProc";

LPCWSTR DescriptionOf(HWND control)
{
    auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(control, GWLP_HINSTANCE));
    int id = GetDlgCtrlID(control);
    for (const DescriptionTable& t : g_descriptionTables) {
        if (t.instance != instance) continue;
        for (std::size_t i = 0; i < t.count; ++i) {
            if (t.entries[i].id == id) return t.entries[i].text;
        }
    }
    return nullptr;
}

bool IsDisplayStore(HWND control)
{
    WCHAR className[8] = {};
    GetClassNameW(control, className, 8);
    return lstrcmpiW(className, L"Edit") == 0 && !(GetWindowLongW(control, GWL_STYLE) & WS_VISIBLE);
}

bool IsSelf(const VARIANT& child)
{
    return child.vt == VT_I4 && child.lVal == CHILDID_SELF;
}

// The system's object for a control, with the description and, for a display store, the state
// of shown read-only text.
class ControlAccessible final : public IAccessible {
public:
    ControlAccessible(IAccessible* inner, LPCWSTR description, bool display)
        : m_inner(inner), m_description(description), m_display(display)
    {
    }

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override
    {
        if (!out) return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(IAccessible)) {
            *out = static_cast<IAccessible*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&m_refs); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        ULONG left = InterlockedDecrement(&m_refs);
        if (left == 0) {
            m_inner->Release();
            delete this;
        }
        return left;
    }

    // IDispatch: the system's object's own.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return m_inner->GetTypeInfoCount(n); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT i, LCID lcid, ITypeInfo** info) override
    {
        return m_inner->GetTypeInfo(i, lcid, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID riid, LPOLESTR* names, UINT n, LCID lcid, DISPID* ids) override
    {
        return m_inner->GetIDsOfNames(riid, names, n, lcid, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID riid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* error, UINT* argError) override
    {
        return m_inner->Invoke(id, riid, lcid, flags, params, result, error, argError);
    }

    // IAccessible: what this object adds.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* out) override
    {
        if (!IsSelf(child) || !m_description) return m_inner->get_accDescription(child, out);
        if (!out) return E_POINTER;
        *out = SysAllocString(reinterpret_cast<const OLECHAR*>(m_description));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* out) override
    {
        HRESULT result = m_inner->get_accState(child, out);
        if (result == S_OK && m_display && IsSelf(child) && out->vt == VT_I4) {
            out->lVal = (out->lVal & ~(STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_FOCUSABLE)) | STATE_SYSTEM_READONLY;
        }
        return result;
    }

    // IAccessible: the system's object's own.
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** out) override { return m_inner->get_accParent(out); }
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* out) override { return m_inner->get_accChildCount(out); }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override
    {
        return m_inner->get_accChild(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* out) override { return m_inner->get_accName(child, out); }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* out) override
    {
        return m_inner->get_accValue(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* out) override
    {
        return m_inner->get_accRole(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* out) override { return m_inner->get_accHelp(child, out); }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override
    {
        return m_inner->get_accHelpTopic(file, child, topic);
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* out) override
    {
        return m_inner->get_accKeyboardShortcut(child, out);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* out) override { return m_inner->get_accFocus(out); }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* out) override { return m_inner->get_accSelection(out); }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* out) override
    {
        return m_inner->get_accDefaultAction(child, out);
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override { return m_inner->accSelect(flags, child); }
    HRESULT STDMETHODCALLTYPE accLocation(long* x, long* y, long* cx, long* cy, VARIANT child) override
    {
        return m_inner->accLocation(x, y, cx, cy, child);
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* out) override
    {
        return m_inner->accNavigate(direction, start, out);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* out) override { return m_inner->accHitTest(x, y, out); }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override { return m_inner->accDoDefaultAction(child); }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override { return m_inner->put_accName(child, name); }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override
    {
        return m_inner->put_accValue(child, value);
    }

private:
    ~ControlAccessible() = default;

    LONG m_refs = 1;
    IAccessible* m_inner;
    LPCWSTR m_description;
    bool m_display;
};

// The wrapped object for a control's client, as WM_GETOBJECT's answer; 0 (the system's own
// answer) when it cannot be made.
LRESULT AnswerGetObject(HWND control, WPARAM wParam)
{
    // Answering marshals the object: COM must be on in this thread (the window's), once.
    thread_local const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    if (FAILED(com) && com != RPC_E_CHANGED_MODE) return 0;
    IAccessible* inner = nullptr;
    if (FAILED(CreateStdAccessibleObject(control, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&inner))) ||
        !inner) {
        return 0;
    }
    auto* wrapped = new ControlAccessible(inner, DescriptionOf(control), IsDisplayStore(control));
    LRESULT answer = LresultFromObject(__uuidof(IAccessible), wParam, wrapped);
    wrapped->Release();  // LresultFromObject holds its own reference
    return answer > 0 ? answer : 0;
}

LRESULT CALLBACK AccessibleControlProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    auto original = reinterpret_cast<WNDPROC>(GetPropW(hwnd, kOriginalProcProp));
    if (msg == WM_GETOBJECT && static_cast<LONG>(lParam) == OBJID_CLIENT) {
        if (LRESULT answer = AnswerGetObject(hwnd, wParam)) return answer;
    }
    if (msg == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        RemovePropW(hwnd, kOriginalProcProp);
    }
    return original ? CallWindowProcW(original, hwnd, msg, wParam, lParam) : DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

void RegisterControlDescriptions(HINSTANCE instance, const CONTROLDESCRIPTION* table, std::size_t count)
{
    std::erase_if(g_descriptionTables, [instance](const DescriptionTable& t) { return t.instance == instance; });
    if (table && count) g_descriptionTables.push_back({instance, table, count});
}

void MakeControlsAccessible(HWND dialog)
{
    for (HWND kid = GetWindow(dialog, GW_CHILD); kid; kid = GetWindow(kid, GW_HWNDNEXT)) {
        if (GetPropW(kid, kOriginalProcProp) || (!DescriptionOf(kid) && !IsDisplayStore(kid))) continue;
        auto original = reinterpret_cast<HANDLE>(GetWindowLongPtrW(kid, GWLP_WNDPROC));
        if (!SetPropW(kid, kOriginalProcProp, original)) continue;
        SetWindowLongPtrW(kid, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccessibleControlProc));
    }
}

// What a Windows screen reader reads of Miravane through UI Automation: each element's control
// type, name and AutomationId (tests/data/uia-ids.txt), which are enabled and on screen, which
// one holds the focus, and the events after keys that tools/uia-run sends through X when asked
// with a line "keys WINDOW KEYS", since Wine stubs the patterns that would work a control (and
// values, texts and toggle states: atspi_check reads those). Usage: uia_check.exe LIST PROGRAM.exe
#include <windows.h>

#include <uiautomation.h>
#include <wrl/client.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using Microsoft::WRL::ComPtr;

namespace {

HANDLE g_program = nullptr;
unsigned long long g_xwindow = 0; // Wine's X window for the program's, where keys are sent
int g_failures = 0;
// Wine's UI Automation stubs may never return, or raise an exception: either way the call is named.
std::atomic<const char*> g_call{nullptr};
std::atomic<ULONGLONG> g_since{0};

// Ends at once, without unwinding: Wine's UI Automation may still hold the handlers.
[[noreturn, gnu::format(printf, 2, 3)]] void Exit(int status, const char* verdict, ...) {
    va_list values;
    va_start(values, verdict);
    std::vprintf(verdict, values);
    va_end(values);
    TerminateProcess(g_program, 1);
    for (;;)
        TerminateProcess(GetCurrentProcess(), status);
}

DWORD WINAPI Watchdog(void*) {
    for (;; Sleep(100))
        if (const char* call = g_call; call && GetTickCount64() - g_since > 30000)
            Exit(2, "FAIL: %s gave no answer in time\n", call);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* crash) {
    Exit(2, "FAIL: %s raised exception 0x%08lx\n", g_call ? g_call.load() : "the check",
         crash->ExceptionRecord->ExceptionCode);
}

// Times a call and names it; one that fails leaves nothing to check after it.
#define CALL(call) (g_since = GetTickCount64(), g_call = #call, Answered(#call, call))
void Answered(const char* call, HRESULT result) {
    if (FAILED(result))
        Exit(2, "FAIL: %s answered 0x%08lx\n", call, result);
    g_call = nullptr;
}

void Expect(bool ok, const std::string& what) {
    if (!ok)
        std::printf("FAIL: %s\n", what.c_str()), ++g_failures;
}

std::string Utf8(const VARIANT& value) {
    const BSTR text = value.vt == VT_BSTR ? value.bstrVal : nullptr;
    const int length = int(SysStringLen(text));
    std::string out(WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, 0, 0), 0);
    WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), int(out.size()), 0, 0);
    return out;
}

const std::map<int, std::string> kTypes = {
    {UIA_ButtonControlTypeId, "Button"},     {UIA_CheckBoxControlTypeId, "CheckBox"},
    {UIA_GroupControlTypeId, "Group"},       {UIA_MenuBarControlTypeId, "MenuBar"},
    {UIA_MenuItemControlTypeId, "MenuItem"}, {UIA_SliderControlTypeId, "Slider"},
    {UIA_TabControlTypeId, "Tab"},           {UIA_TabItemControlTypeId, "TabItem"},
    {UIA_TextControlTypeId, "Text"}};

// Read with the element, in Element's order: a call apiece would take Wine seconds for the tree.
const PROPERTYID kProperties[] = {UIA_ControlTypePropertyId, UIA_NamePropertyId,
                                  UIA_AutomationIdPropertyId, UIA_IsEnabledPropertyId,
                                  UIA_IsOffscreenPropertyId};

// An element as read, or a line of the list, where the page it shows on is "-" for always.
struct Element {
    std::string page, type, name, id;
    bool enabled = true, offscreen = false;
    std::set<std::string> words; // what changes it, in the list

    std::string Who() const { return type + " \"" + name + "\" " + id; }
    std::string Shown() const {
        return Who() + (enabled ? "" : ", not enabled") + (offscreen ? ", offscreen" : "");
    }
};

Element Read(IUIAutomationElement* ui) {
    VARIANT v[std::size(kProperties)] = {}; // all VT_EMPTY
    for (std::size_t i = 0; i < std::size(kProperties); ++i)
        CALL(ui->GetCachedPropertyValueEx(kProperties[i], FALSE, &v[i]));
    const auto type = kTypes.find(v[0].lVal);
    const std::string kind = type != kTypes.end() ? type->second : std::to_string(v[0].lVal);
    const Element e{"", kind, Utf8(v[1]), Utf8(v[2]), bool(v[3].boolVal), bool(v[4].boolVal)};
    for (VARIANT& value : v)
        VariantClear(&value);
    return e;
}

// Events as they come on UI Automation's threads: whether a text changed (or the focus), where.
std::mutex g_mutex;
std::vector<std::pair<bool, ComPtr<IUIAutomationElement>>> g_received;

struct Listener : IUIAutomationFocusChangedEventHandler, IUIAutomationEventHandler {
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = nullptr;
        if (iid == IID_IUnknown || iid == IID_IUIAutomationFocusChangedEventHandler)
            *out = static_cast<IUIAutomationFocusChangedEventHandler*>(this);
        if (iid == IID_IUIAutomationEventHandler)
            *out = static_cast<IUIAutomationEventHandler*>(this);
        return *out ? S_OK : E_NOINTERFACE;
    }
    HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IUIAutomationElement* sender) override {
        return HandleAutomationEvent(sender, UIA_AutomationFocusChangedEventId);
    }
    HRESULT STDMETHODCALLTYPE HandleAutomationEvent(IUIAutomationElement* sender,
                                                    EVENTID event) override {
        std::lock_guard lock(g_mutex);
        g_received.emplace_back(event == UIA_Text_TextChangedEventId, sender);
        return S_OK;
    }
} g_listener;

// Keys to send, the page then in front, the name of the one element then with the focus, the
// list's word for the read-outs that tell of a new text, and whether an optic is in.
struct Step {
    const char* keys;
    std::string page, focus, told;
    bool optic;
};
const Step kSteps[] = {
    {"", "1", "Aperture", "", false},
    {"Tab", "1", "Focal length", "", false},
    {"Tab", "1", "Eyepiece 1", "", false},
    {"Tab", "1", "Eyepiece 1 apparent field", "", false},
    {"Tab", "1", "Eyepiece 1 focal length", "", false},
    {"Tab", "1", "Barlow lens", "", false},
    {"space", "1", "Barlow lens", "optic", true},
    {"space", "1", "Barlow lens", "optic", false},
    {"shift+Tab shift+Tab shift+Tab", "1", "Eyepiece 1", "", false},
    {"Right", "2", "Eyepiece 2", "", false},
    {"Left", "1", "Eyepiece 1", "", false},
    {"ctrl+3", "1", "Eyepiece 1", "preset", false},
    {"ctrl+r", "1", "Eyepiece 1", "preset", false},
};

std::vector<Element> g_list;
ComPtr<IUIAutomationElement> g_window;
ComPtr<IUIAutomationCondition> g_all;
ComPtr<IUIAutomationCacheRequest> g_cache;
ComPtr<IUIAutomationElementArray> g_tree; // as last read

void Run(const Step& step, const Step* before) {
    std::printf("== %s\n", before ? step.keys : "start-up");
    // The list as it should read, each line with whether it may be left out (behind its page).
    std::map<std::string, bool> listed;
    std::set<std::string> told; // the read-outs that should tell of a new text
    for (Element e : g_list) {
        if (e.words.count("named-with-optic") && !step.optic)
            e.name = "";
        if (const auto at = e.name.find("{page}"); at != std::string::npos)
            e.name.replace(at, 6, step.page);
        e.enabled = !step.optic || !e.words.count("locked");
        e.offscreen = e.page != "-" && e.page != step.page;
        listed[e.Shown()] = e.offscreen;
        if (e.words.count(step.told))
            told.insert(e.Who());
    }

    const auto take = [] {
        std::lock_guard lock(g_mutex);
        return std::exchange(g_received, {});
    };
    take();
    if (before) {
        std::printf("keys %llu %s\n", g_xwindow, step.keys);
        if (char sent[64]; !std::fgets(sent, sizeof sent, stdin))
            Exit(2, "FAIL: the request for keys was not answered\n");
    }
    const bool moved = before && step.focus != before->focus;
    // Until what is expected has come, then a little longer for anything more.
    std::set<std::string> focus, texts;
    for (ULONGLONG end = GetTickCount64() + 5000; GetTickCount64() < end; Sleep(100)) {
        for (auto& [text, ui] : take()) {
            const Element e = Read(ui.Get());
            std::printf("%s: %s\n", text ? "text changed" : "focus event", e.Who().c_str());
            (text ? texts : focus).insert(text ? e.Who() : e.name);
        }
        if ((!moved || focus.count(step.focus)) && texts == told)
            end = std::min(end, GetTickCount64() + 700);
    }
    Expect(!moved || focus.count(step.focus), "no focus event for " + step.focus);
    for (const auto& name : told)
        Expect(texts.count(name), "no text-changed event for " + name);
    for (const auto& name : texts)
        Expect(told.count(name), "a text-changed event for " + name + ", not changed");

    // Wine takes seconds to read the tree: read again only where the page or the optic changes.
    if (!before || step.page != before->page || step.optic != before->optic)
        CALL(g_window->FindAllBuildCache(TreeScope_Descendants, g_all.Get(), g_cache.Get(),
                                         g_tree.ReleaseAndGetAddressOf()));
    int count = 0;
    CALL(g_tree->get_Length(&count));
    std::multiset<std::string> found;
    std::vector<std::string> focused;
    for (int i = 0; i < count; ++i) {
        ComPtr<IUIAutomationElement> ui;
        VARIANT has;
        CALL(g_tree->GetElement(i, &ui));
        const Element e = Read(ui.Get());
        CALL(ui->GetCurrentPropertyValueEx(UIA_HasKeyboardFocusPropertyId, FALSE, &has));
        if (has.vt == VT_BOOL && has.boolVal == VARIANT_TRUE)
            focused.push_back(e.name);
        found.insert(e.Shown());
    }
    Expect(focused == std::vector{step.focus}, "the focus is not on " + step.focus + " alone");
    std::printf("%d elements, the focus on %s\n", count, step.focus.c_str());
    if (!before) // the whole tree once, as a screen reader first meets it
        for (const auto& shown : found)
            std::printf("  %s\n", shown.c_str());
    for (const auto& [shown, behind] : listed)
        Expect(found.extract(shown) || behind, "missing: " + shown);
    for (const auto& shown : found)
        Expect(false, "not in the list, or twice: " + shown);
}

} // namespace

int wmain(int, wchar_t** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0); // tools/uia-run answers each line as it comes
    SetUnhandledExceptionFilter(&OnCrash);
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::ifstream in(argv[1]);
    for (std::string line; std::getline(in, line);) {
        Element row;
        std::istringstream fields(line);
        for (std::string* field : {&row.page, &row.type, &row.name, &row.id})
            std::getline(fields, *field, '\t');
        for (std::string word; fields >> word;)
            row.words.insert(word);
        if (!line.empty() && line[0] != '#')
            g_list.push_back(row);
    }

    std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION program{};
    if (!CreateProcessW(argv[2], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &program))
        Exit(2, "FAIL: the program could not be started\n");
    g_program = program.hProcess;
    HWND shown = nullptr;
    for (int i = 0; i < 600 && !(shown && IsWindowVisible(shown)); ++i, Sleep(100))
        shown = FindWindowW(nullptr, L"Miravane");
    WaitForInputIdle(program.hProcess, 10000);
    g_xwindow = reinterpret_cast<unsigned long long>(GetPropW(shown, L"__wine_x11_whole_window"));
    if (!g_xwindow)
        Exit(2, "FAIL: no X window for a window titled Miravane within 60 s\n");

    ComPtr<IUIAutomation> uia;
    CALL(CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&uia)));
    CALL(uia->ElementFromHandle(shown, &g_window));
    CALL(uia->CreateTrueCondition(&g_all));
    CALL(uia->CreateCacheRequest(&g_cache));
    for (const PROPERTYID property : kProperties)
        CALL(g_cache->AddProperty(property));
    CALL(uia->AddFocusChangedEventHandler(g_cache.Get(), &g_listener));
    CALL(uia->AddAutomationEventHandler(UIA_Text_TextChangedEventId, g_window.Get(),
                                        TreeScope_Subtree, g_cache.Get(), &g_listener));

    for (const Step& step : kSteps)
        Run(step, &step == kSteps ? nullptr : &step - 1);
    Exit(g_failures ? 1 : 0, "%s: %d failure(s)\n", g_failures ? "FAIL" : "PASS", g_failures);
}

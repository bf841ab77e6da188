// What a Windows screen reader reads of Miravane through UI Automation: every element with its
// control type, name and AutomationId (tests/data/uia-ids.txt), which are enabled and on screen,
// which one holds the focus and where Tab takes it, and which read-outs tell of a new text. It
// starts the program and has tools/uia-run send it keys through the X display (a line "keys
// KEYS", answered with a line once they are sent), since Wine stubs the patterns that would
// work a control, and values, texts and toggle states too: atspi_check reads those on Linux.
// Usage, under tools/uia-run: uia_check.exe LIST PROGRAM.exe
#include <windows.h>

#include <oleauto.h>
#include <uiautomation.h>
#include <wrl/client.h>

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
using Names = std::set<std::string>;

namespace {

HANDLE g_program = nullptr;
int g_failures = 0;
// Wine answers much of UI Automation with stubs: one may never return, or raise an exception
// that ends the process. A watchdog times every call, and either way the call is named.
std::atomic<const char*> g_call{nullptr};
std::atomic<ULONGLONG> g_since{0};

// Prints the verdict and ends at once, without unwinding: Wine's UI Automation may still hold
// the handlers.
[[noreturn, gnu::format(printf, 2, 3)]] void Exit(int status, const char* verdict, ...) {
    va_list values;
    va_start(values, verdict);
    std::vprintf(verdict, values);
    va_end(values);
    std::fflush(stdout);
    if (g_program)
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
    const char* call = g_call;
    Exit(2, "FAIL: %s raised exception 0x%08lx\n", call ? call : "the check",
         crash->ExceptionRecord->ExceptionCode);
}

// A call that fails leaves nothing to check after it.
template <class F> void Call(const char* what, F&& call) {
    g_since = GetTickCount64();
    g_call = what;
    if (const HRESULT result = call(); FAILED(result))
        Exit(2, "FAIL: %s answered 0x%08lx\n", what, result);
    g_call = nullptr;
}
// Names the call by its own text.
#define CALL(call) Call(#call, [&] { return call; })

void Expect(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what.c_str());
        ++g_failures;
    }
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

// Fetched with the element in one go, in Element's order: a call into the program apiece would
// take Wine seconds for the whole tree.
const PROPERTYID kProperties[] = {UIA_ControlTypePropertyId, UIA_NamePropertyId,
                                  UIA_AutomationIdPropertyId, UIA_IsEnabledPropertyId,
                                  UIA_IsOffscreenPropertyId};

// An element as read, or as the list has it: where it shows ("-" always, "1" or "2" on that
// eyepiece's page), its control type, its name and its AutomationId.
struct Element {
    std::string page, type, name, id;
    bool enabled = false, offscreen = false;

    std::string Shown() const { return type + " \"" + name + "\" " + id; }
};

Element Read(IUIAutomationElement* ui) {
    VARIANT v[std::size(kProperties)];
    for (std::size_t i = 0; i < std::size(kProperties); ++i) {
        VariantInit(&v[i]);
        CALL(ui->GetCachedPropertyValueEx(kProperties[i], FALSE, &v[i]));
    }
    const auto type = kTypes.find(v[0].lVal);
    Element e{"", type != kTypes.end() ? type->second : std::to_string(v[0].lVal), Utf8(v[1]),
              Utf8(v[2])};
    e.enabled = v[3].boolVal == VARIANT_TRUE;
    e.offscreen = v[4].boolVal == VARIANT_TRUE;
    for (VARIANT& value : v)
        VariantClear(&value);
    return e;
}

// Focus and text changes as UI Automation delivers them on its own threads, kept for the main
// thread: whether a text changed, and the element.
std::mutex g_mutex;
std::vector<std::pair<bool, ComPtr<IUIAutomationElement>>> g_received;

struct Listener : IUIAutomationFocusChangedEventHandler, IUIAutomationEventHandler {
    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IUIAutomationFocusChangedEventHandler)
            *out = static_cast<IUIAutomationFocusChangedEventHandler*>(this);
        else if (iid == IID_IUIAutomationEventHandler)
            *out = static_cast<IUIAutomationEventHandler*>(this);
        else
            return *out = nullptr, E_NOINTERFACE;
        return S_OK;
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

const char* const kStatus = "Optic in the light path"; // named only while it shows an optic
const Names kResults = {
    "Focal ratio",           "Eyepiece 1 magnification", "Eyepiece 1 true field of view",
    "Eyepiece 1 exit pupil", "Eyepiece 2 magnification", "Eyepiece 2 true field of view",
    "Eyepiece 2 exit pupil"};
Names With(Names names, const Names& more) {
    names.insert(more.begin(), more.end());
    return names;
}
const Names kOptic = With(kResults, {"Focal length value", kStatus});
const Names kPreset = With(kResults, {"Aperture value", "Focal length value"});
// What an optic in the light path locks.
const Names kLocked = {"Aperture",        "Focal length",        "Aperture up",
                       "Aperture down",   "Focal length up",     "Focal length down",
                       "Aperture arrows", "Focal length arrows", "Reducer/corrector"};

// Keys to send, the page in front after them, the one element that then holds the focus,
// whether an optic is in, and the read-outs that tell of a new text (by their names in the list).
struct Step {
    const char* keys;
    std::string page, focus;
    bool optic;
    Names told;
};
const Step kSteps[] = {
    {"", "1", "Aperture", false, {}},
    {"Tab", "1", "Focal length", false, {}},
    {"Tab", "1", "Eyepiece 1", false, {}},
    {"Tab", "1", "Eyepiece 1 apparent field", false, {}},
    {"Tab", "1", "Eyepiece 1 focal length", false, {}},
    {"Tab", "1", "Barlow lens", false, {}},
    {"space", "1", "Barlow lens", true, kOptic},
    {"space", "1", "Barlow lens", false, kOptic},
    {"shift+Tab shift+Tab shift+Tab", "1", "Eyepiece 1", false, {}},
    {"Right", "2", "Eyepiece 2", false, {}},
    {"Left", "1", "Eyepiece 1", false, {}},
    {"ctrl+3", "1", "Eyepiece 1", false, kPreset},
    {"ctrl+r", "1", "Eyepiece 1", false, kPreset},
};

std::vector<Element> g_list;
ComPtr<IUIAutomationElement> g_window;
ComPtr<IUIAutomationCondition> g_all;
ComPtr<IUIAutomationCacheRequest> g_cache;
ComPtr<IUIAutomationElementArray> g_tree; // as last read

// The name the list gives a row with the page in front and the optic of the step.
std::string Named(const Element& row, const Step& step) {
    std::string name = row.name != kStatus || step.optic ? row.name : "";
    if (const auto at = name.find("{page}"); at != std::string::npos)
        name.replace(at, 6, step.page);
    return name;
}

// The element's line in the list, by its AutomationId, which Qt gives several (the halves of
// the arrows, the tabs, the menus), its type and its name.
const Element* Row(const Element& e, const Step& step) {
    for (const Element& row : g_list)
        if (row.id == e.id && row.type == e.type && Named(row, step) == e.name)
            return &row;
    return nullptr;
}

// The list's name for an element, which holds while a label's own name comes and goes.
std::string Known(const Element& e, const Step& step) {
    const Element* row = Row(e, step);
    return row ? row->name : e.Shown();
}

void Keys(const char* keys) {
    std::printf("keys %s\n", keys);
    std::fflush(stdout);
    char answer[64];
    if (!std::fgets(answer, sizeof answer, stdin))
        Exit(2, "FAIL: the request for keys was not answered\n");
}

// Sends the step's keys and checks the events that follow, then the tree as last read with the
// focus as it is now. Wine takes seconds to read the tree: it is read again only where the page
// in front or the optic changes.
void Run(const Step& step, const Step* before) {
    std::printf("== %s\n", before ? step.keys : "start-up");
    const auto take = [] {
        std::lock_guard lock(g_mutex);
        return std::exchange(g_received, {});
    };
    take();
    if (before)
        Keys(step.keys);
    const bool moved = before && step.focus != before->focus;
    // Until what is expected has come, then a little longer for anything more.
    Names focus, texts;
    for (ULONGLONG end = GetTickCount64() + 5000, quiet = 0; GetTickCount64() < end; Sleep(100)) {
        for (auto& [text, ui] : take()) {
            const std::string name = Known(Read(ui.Get()), step);
            std::printf("%s: %s\n", text ? "text changed" : "focus event", name.c_str());
            (text ? texts : focus).insert(name);
        }
        if (!quiet && (!moved || focus.count(step.focus)) && texts == step.told)
            quiet = GetTickCount64(), end = quiet + 700;
    }
    Expect(!moved || focus.count(step.focus), "no focus event for " + step.focus);
    for (const auto& name : step.told)
        Expect(texts.count(name), "no text-changed event for " + name);
    for (const auto& name : texts)
        Expect(step.told.count(name), "a text-changed event for " + name + ", not changed");

    if (!before || step.page != before->page || step.optic != before->optic)
        CALL(g_window->FindAllBuildCache(TreeScope_Descendants, g_all.Get(), g_cache.Get(),
                                         g_tree.ReleaseAndGetAddressOf()));
    int count = 0;
    CALL(g_tree->get_Length(&count));
    std::printf("%d elements\n", count);
    const auto front = [&](const Element& row) { return row.page == "-" || row.page == step.page; };
    std::set<const Element*> seen;
    std::vector<std::string> focused;
    for (int i = 0; i < count; ++i) {
        ComPtr<IUIAutomationElement> ui;
        VARIANT has;
        CALL(g_tree->GetElement(i, &ui));
        const Element e = Read(ui.Get());
        CALL(ui->GetCurrentPropertyValueEx(UIA_HasKeyboardFocusPropertyId, FALSE, &has));
        if (has.vt == VT_BOOL && has.boolVal == VARIANT_TRUE)
            focused.push_back(Known(e, step));
        const Element* row = Row(e, step);
        Expect(row, "not in the list: " + e.Shown());
        if (!row)
            continue;
        Expect(seen.insert(row).second, "two of " + e.Shown());
        Expect(e.offscreen != front(*row),
               e.Shown() + (e.offscreen ? " is offscreen" : " is on screen behind its page"));
        Expect(e.enabled != (step.optic && kLocked.count(row->name)),
               e.Shown() + (e.enabled ? " is enabled" : " is not enabled"));
    }
    Expect(focused == std::vector{step.focus}, "the focus is not on " + step.focus + " alone");
    for (const Element& row : g_list)
        Expect(seen.count(&row) || !front(row), "missing: " + row.Shown());
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3)
        Exit(2, "Usage: uia_check.exe LIST PROGRAM.exe\n");
    SetUnhandledExceptionFilter(&OnCrash);
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    std::ifstream in(argv[1]);
    Expect(bool(in), "the list could not be read");
    for (std::string line; std::getline(in, line);) {
        Element row;
        std::istringstream fields(line);
        for (std::string* field : {&row.page, &row.type, &row.name, &row.id})
            std::getline(fields, *field, '\t');
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
    if (!shown)
        Exit(2, "FAIL: the program showed no window titled Miravane within 60 s\n");
    WaitForInputIdle(program.hProcess, 10000);

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
    Keys("ctrl+q");
    DWORD status = 1;
    Expect(WaitForSingleObject(program.hProcess, 30000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(program.hProcess, &status) && status == 0,
           "Ctrl+Q did not end the program with status 0");
    Exit(g_failures ? 1 : 0, "%s: %d failure(s)\n", g_failures ? "FAIL" : "PASS", g_failures);
}

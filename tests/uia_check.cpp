// What a Windows screen reader reads of Miravane through UI Automation: every element with its
// control type, name and AutomationId (tests/data/uia-ids.txt), which are enabled and on screen,
// where Tab takes the focus, and which read-outs tell of a new text. It starts the program and
// works it with keys that tools/uia-run sends through the X display: it asks with a line "keys
// KEYS" and waits for a line back, since Wine stubs the patterns that would work a control.
// Wine stubs values, texts and toggle states too: atspi_check reads those on Linux.
// Usage, under tools/uia-run: uia_check.exe LIST PROGRAM.exe
#include <windows.h>

#include <oleauto.h>
#include <uiautomation.h>
#include <wrl/client.h>

#include <atomic>
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

// Wine answers much of UI Automation with stubs: one may never return, or raise an exception
// that ends the process. A watchdog times every call, and either way the call is named.
constexpr ULONGLONG kCallLimitMs = 30000;
std::atomic<const char*> g_call{nullptr};
std::atomic<ULONGLONG> g_since{0};
HANDLE g_program = nullptr;
int g_failures = 0;

[[noreturn]] void Abort(const char* why, const char* call) {
    std::printf("FAIL: %s %s\n", call ? call : "the check", why);
    std::fflush(stdout);
    if (g_program)
        TerminateProcess(g_program, 1);
    TerminateProcess(GetCurrentProcess(), 2);
    for (;;) {
    }
}

DWORD WINAPI Watchdog(void*) {
    for (;; Sleep(100))
        if (const char* call = g_call; call && GetTickCount64() - g_since > kCallLimitMs)
            Abort("gave no answer in time", call);
}

LONG WINAPI OnCrash(EXCEPTION_POINTERS* crash) {
    char why[40];
    std::snprintf(why, sizeof why, "raised exception 0x%08lx",
                  crash->ExceptionRecord->ExceptionCode);
    Abort(why, g_call);
}

template <class F> void Call(const char* what, F&& call) {
    g_since = GetTickCount64();
    g_call = what;
    const HRESULT result = call();
    g_call = nullptr;
    if (FAILED(result)) {
        std::printf("FAIL: %s answered 0x%08lx\n", what, static_cast<unsigned long>(result));
        ++g_failures;
    }
}

void Expect(bool ok, const std::string& what) {
    if (!ok) {
        std::printf("FAIL: %s\n", what.c_str());
        ++g_failures;
    }
}

std::string Utf8(const wchar_t* text) {
    std::string out(WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr), 0);
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), int(out.size()), nullptr, nullptr);
    out.pop_back(); // the terminating zero
    return out;
}

const std::map<int, std::string> kTypes = {
    {UIA_ButtonControlTypeId, "Button"},     {UIA_CheckBoxControlTypeId, "CheckBox"},
    {UIA_GroupControlTypeId, "Group"},       {UIA_MenuBarControlTypeId, "MenuBar"},
    {UIA_MenuItemControlTypeId, "MenuItem"}, {UIA_SliderControlTypeId, "Slider"},
    {UIA_TabControlTypeId, "Tab"},           {UIA_TabItemControlTypeId, "TabItem"},
    {UIA_TextControlTypeId, "Text"}};

struct Element {
    ComPtr<IUIAutomationElement> ui;
    std::string type, name, id;
    bool enabled = false, offscreen = false;

    std::string Shown() const { return type + " \"" + name + "\" " + id; }
};

// The properties read, all fetched with the element: a call into the program apiece would take
// Wine seconds for the whole tree.
const PROPERTYID kProperties[] = {UIA_ControlTypePropertyId, UIA_NamePropertyId,
                                  UIA_AutomationIdPropertyId, UIA_IsEnabledPropertyId,
                                  UIA_IsOffscreenPropertyId};

Element Read(IUIAutomationElement* ui) {
    VARIANT values[std::size(kProperties)];
    for (std::size_t i = 0; i < std::size(kProperties); ++i) {
        VariantInit(&values[i]);
        Call("GetCachedPropertyValueEx",
             [&] { return ui->GetCachedPropertyValueEx(kProperties[i], FALSE, &values[i]); });
    }
    const auto text = [](VARIANT& value) {
        std::string out = value.vt == VT_BSTR && value.bstrVal ? Utf8(value.bstrVal) : "";
        VariantClear(&value);
        return out;
    };
    const int type = values[0].lVal;
    return {ui,
            kTypes.count(type) ? kTypes.at(type) : std::to_string(type),
            text(values[1]),
            text(values[2]),
            values[3].boolVal == VARIANT_TRUE,
            values[4].boolVal == VARIANT_TRUE};
}

// One line of the list: where the element shows ("-" always, "1" or "2" on that eyepiece's
// page), its control type, its name and its AutomationId.
struct Listed {
    std::string page, type, name, id;
};

std::vector<Listed> ReadList(const char* path) {
    std::vector<Listed> list;
    std::ifstream in(path);
    Expect(bool(in), std::string("the list ") + path + " could not be read");
    for (std::string line; std::getline(in, line);) {
        Listed row;
        std::istringstream fields(line);
        for (std::string* field : {&row.page, &row.type, &row.name, &row.id})
            std::getline(fields, *field, '\t');
        if (!line.empty() && line[0] != '#')
            list.push_back(row);
    }
    return list;
}

// Events as UI Automation delivers them, on its own threads; read on the main thread.
class Listener : public IUIAutomationFocusChangedEventHandler, public IUIAutomationEventHandler {
public:
    using Received = std::vector<ComPtr<IUIAutomationElement>>;

    ULONG STDMETHODCALLTYPE AddRef() override { return 1; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IUIAutomationFocusChangedEventHandler))
            *out = static_cast<IUIAutomationFocusChangedEventHandler*>(this);
        else if (iid == __uuidof(IUIAutomationEventHandler))
            *out = static_cast<IUIAutomationEventHandler*>(this);
        else
            return *out = nullptr, E_NOINTERFACE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleFocusChangedEvent(IUIAutomationElement* sender) override {
        std::lock_guard lock(mutex_);
        focus_.emplace_back(sender);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE HandleAutomationEvent(IUIAutomationElement* sender,
                                                    EVENTID) override {
        std::lock_guard lock(mutex_);
        texts_.emplace_back(sender);
        return S_OK;
    }
    std::pair<Received, Received> Take() {
        std::lock_guard lock(mutex_);
        return {std::exchange(focus_, {}), std::exchange(texts_, {})};
    }

private:
    std::mutex mutex_;
    Received focus_, texts_;
};

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

class Check {
public:
    Check(IUIAutomation* automation, IUIAutomationElement* window, const char* list)
        : automation_(automation), window_(window), list_(ReadList(list)) {
        Call("CreateTrueCondition", [&] { return automation_->CreateTrueCondition(&all_); });
        Call("CreateCacheRequest", [&] { return automation_->CreateCacheRequest(&cache_); });
        for (const PROPERTYID property : kProperties)
            Call("AddProperty", [&] { return cache_->AddProperty(property); });
        Call("AddFocusChangedEventHandler",
             [&] { return automation_->AddFocusChangedEventHandler(cache_.Get(), &listener_); });
        Call("AddAutomationEventHandler(Text_TextChanged)", [&] {
            return automation_->AddAutomationEventHandler(
                UIA_Text_TextChangedEventId, window_, TreeScope_Subtree, cache_.Get(), &listener_);
        });
    }

    // Reads the whole tree at start-up and where the page in front or the optic changes, and
    // otherwise only which of the elements then read holds the focus: Wine takes seconds to
    // read the tree.
    void Run(const Step& step, const Step* previous) {
        std::printf("== %s\n", *step.keys ? step.keys : "start-up");
        listener_.Take();
        if (*step.keys)
            Keys(step.keys);
        const bool moved = previous && step.focus != previous->focus;
        // Until what is expected has come, then a little longer for anything more.
        Names focusTold, told;
        for (ULONGLONG end = GetTickCount64() + 5000, quiet = 0; GetTickCount64() < end;
             Sleep(100)) {
            auto [focus, texts] = listener_.Take();
            for (auto& e : focus)
                focusTold.insert(Known(Read(e.Get())));
            for (auto& e : texts)
                told.insert(Known(Read(e.Get())));
            if (!quiet && (!moved || focusTold.count(step.focus)) && told == step.told)
                quiet = GetTickCount64(), end = quiet + 700;
        }
        for (const auto& name : focusTold)
            std::printf("focus event: %s\n", name.c_str());
        for (const auto& name : told)
            std::printf("text changed: %s\n", name.c_str());
        Expect(!moved || focusTold.count(step.focus), "no focus event for " + step.focus);
        for (const auto& name : step.told)
            Expect(told.count(name), "no text-changed event for " + name);
        for (const auto& name : told)
            Expect(step.told.count(name), "a text-changed event for " + name + ", not changed");
        if (!previous || step.page != previous->page || step.optic != previous->optic)
            Tree(step);
        std::vector<std::string> focused;
        std::printf("with the focus:");
        for (const Element& e : held_) {
            VARIANT value;
            VariantInit(&value);
            Call("HasKeyboardFocus", [&] {
                return e.ui->GetCurrentPropertyValueEx(UIA_HasKeyboardFocusPropertyId, FALSE,
                                                       &value);
            });
            if (value.boolVal == VARIANT_TRUE) {
                focused.push_back(Known(e));
                std::printf(" %s", e.Shown().c_str());
            }
        }
        std::printf("\n");
        Expect(focused == std::vector{step.focus}, "the focus is not on " + step.focus + " alone");
    }

    void Keys(const char* keys) {
        std::printf("keys %s\n", keys);
        std::fflush(stdout);
        char answer[64];
        if (!std::fgets(answer, sizeof answer, stdin))
            Abort("was not answered", "the request for keys");
    }

private:
    // The element's line in the list: the one with its AutomationId and type, or where Qt
    // gives several the same (the halves of the arrows, the tabs, the menus), with its name too.
    const Listed* Row(const Element& e) const {
        const Listed* only = nullptr;
        int rows = 0;
        for (const Listed& row : list_)
            if (row.id == e.id && row.type == e.type) {
                if (row.name == e.name)
                    return &row;
                only = &row, ++rows;
            }
        return rows == 1 ? only : nullptr;
    }
    // The list's name for an element, which holds while a label's own name comes and goes.
    std::string Known(const Element& e) const {
        const Listed* row = Row(e);
        return row ? row->name : e.Shown();
    }

    void Tree(const Step& step) {
        ComPtr<IUIAutomationElementArray> found;
        int count = 0;
        Call("FindAllBuildCache", [&] {
            return window_->FindAllBuildCache(TreeScope_Descendants, all_.Get(), cache_.Get(),
                                              &found);
        });
        if (found)
            Call("the number of elements", [&] { return found->get_Length(&count); });
        const bool first = held_.empty();
        held_.clear();
        std::map<const Listed*, Element> seen;
        for (int i = 0; i < count; ++i) {
            ComPtr<IUIAutomationElement> ui;
            Call("GetElement", [&] { return found->GetElement(i, &ui); });
            const Element e = Read(ui.Get());
            if (first)
                std::printf("%s%s%s\n", e.Shown().c_str(), e.enabled ? "" : " not enabled",
                            e.offscreen ? " offscreen" : "");
            held_.push_back(e);
            const Listed* row = Row(e);
            Expect(row, "not in the list: " + e.Shown());
            Expect(!row || seen.emplace(row, e).second, "two of " + e.Shown());
        }
        std::printf("%d elements\n", count);
        for (const Listed& row : list_) {
            const auto e = seen.find(&row);
            const bool front = row.page == "-" || row.page == step.page;
            if (e == seen.end()) {
                Expect(!front, "missing: " + row.type + " \"" + row.name + "\" " + row.id);
                continue;
            }
            std::string name = row.name != kStatus || step.optic ? row.name : "";
            if (const auto at = name.find("{page}"); at != std::string::npos)
                name.replace(at, 6, step.page);
            const Element& got = e->second;
            Expect(got.name == name, got.Shown() + ", listed as \"" + name + "\"");
            Expect(got.offscreen != front,
                   got.Shown() + (front ? " is offscreen" : " is on screen behind its page"));
            Expect(got.enabled != (step.optic && kLocked.count(row.name)),
                   got.Shown() + (got.enabled ? " is enabled" : " is not enabled"));
        }
    }

    IUIAutomation* automation_;
    IUIAutomationElement* window_;
    std::vector<Listed> list_;
    ComPtr<IUIAutomationCondition> all_;
    ComPtr<IUIAutomationCacheRequest> cache_;
    Listener listener_;
    std::vector<Element> held_; // as last read, with the page then in front
};

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::printf("Usage: uia_check.exe LIST PROGRAM.exe\n");
        return 2;
    }
    SetUnhandledExceptionFilter(&OnCrash);
    CreateThread(nullptr, 0, &Watchdog, nullptr, 0, nullptr);
    CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    std::wstring command = L"\"" + std::wstring(argv[2]) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION program{};
    if (!CreateProcessW(argv[2], command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &program))
        Abort("could not be started", Utf8(argv[2]).c_str());
    g_program = program.hProcess;
    HWND shown = nullptr;
    for (int i = 0; i < 600 && !(shown && IsWindowVisible(shown)); ++i, Sleep(100))
        shown = FindWindowW(nullptr, L"Miravane");
    if (!shown)
        Abort("showed no window titled Miravane within 60 s", "the program");
    WaitForInputIdle(program.hProcess, 10000);

    ComPtr<IUIAutomation> automation;
    ComPtr<IUIAutomationElement> window;
    Call("CoCreateInstance(CUIAutomation)", [&] {
        return CoCreateInstance(CLSID_CUIAutomation, nullptr, CLSCTX_INPROC_SERVER,
                                IID_PPV_ARGS(&automation));
    });
    if (automation)
        Call("ElementFromHandle", [&] { return automation->ElementFromHandle(shown, &window); });
    if (!window)
        Abort("could not read the window", "UI Automation");
    Check check(automation.Get(), window.Get(), Utf8(argv[1]).c_str());
    for (const Step& step : kSteps)
        check.Run(step, &step == kSteps ? nullptr : &step - 1);
    check.Keys("ctrl+q");
    DWORD status = 1;
    Expect(WaitForSingleObject(program.hProcess, 30000) == WAIT_OBJECT_0 &&
               GetExitCodeProcess(program.hProcess, &status) && status == 0,
           "Ctrl+Q did not end the program with status 0");
    std::printf("%s: %d failure(s)\n", g_failures ? "FAIL" : "PASS", g_failures);
    std::fflush(stdout);
    // Wine's UI Automation may still hold the handlers: leave without unwinding it.
    TerminateProcess(GetCurrentProcess(), g_failures ? 1 : 0);
    return 1;
}

#include "runtime/Desktop.h"

#include "runtime/accessibility/Accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QFont>
#include <QMainWindow>
#include <QTimer>
#include <QtGui/private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

#include <emscripten/bind.h>
#include <emscripten/val.h>

#include <vector>

// A page in a browser, Qt's wasm platform. The page (web/index.html) hosts the window and
// offers hooks under `miravanePage`: its size once known, the end of the program, and a live
// region that screen readers speak from. Qt's wasm accessibility layer shadows each control
// with a hidden HTML element, but writes only a name into it, which inputs and text areas do
// not show: the program fills in what screen readers read there.
namespace runtime {
namespace {

using emscripten::val;

// Calls the page's hook `name`, where the page has one: the tests' bare pages have none.
template <typename... Args> void CallPage(const char* name, Args&&... args) {
    const val page = val::global("miravanePage");
    if (page.isUndefined() || page[name].isUndefined())
        return;
    page.call<void>(name, std::forward<Args>(args)...);
}

std::string Utf8(const QString& text) { return text.toStdString(); }

// The id that Qt's layer gives an object's element: the object names from the application
// down, joined by dots, with a class name where an object has no name.
QString ElementId(QAccessibleInterface* accessible) {
    QString id;
    for (; accessible; accessible = accessible->parent()) {
        if (!id.isEmpty())
            id.prepend(QLatin1Char('.'));
        if (const QObject* object = accessible->object())
            id.prepend(object->objectName().isEmpty()
                           ? QString::fromUtf8(object->metaObject()->className())
                           : object->objectName());
    }
    return id;
}

// The elements of Qt's layer that match `selector`. The layer keeps them in the shadow root of
// each screen's container, out of the document's own search.
std::vector<val> FindElements(const std::string& selector) {
    std::vector<val> found;
    const val hosts =
        val::global("document").call<val>("querySelectorAll", val("#qt-shadow-container"));
    for (int i = 0, count = hosts["length"].as<int>(); i < count; ++i)
        if (const val shadow = hosts[i]["shadowRoot"]; !shadow.isNull()) {
            const val elements = shadow.call<val>("querySelectorAll", selector);
            for (int j = 0, matches = elements["length"].as<int>(); j < matches; ++j)
                found.push_back(elements[j]);
        }
    return found;
}

void SetFlag(val& element, const char* attribute, bool on) {
    element.call<void>("setAttribute", val(attribute), val(on ? "true" : "false"));
}

// Which tab is in front, and the list's name. Qt gives every tab of a bar the bar's own id, and
// the list an id made from the name of the tab then in front: tabs go by their titles, and the
// window's one tab list by its role.
void DescribeTabs(QAccessibleInterface* tabList) {
    for (val tab : FindElements("[role=tab]")) {
        // Qt has each tab own the list, which would make the list part of a tab's name.
        tab.call<void>("removeAttribute", val("aria-owns"));
        for (int i = 0; i < tabList->childCount(); ++i)
            if (QAccessibleInterface* child = tabList->child(i);
                tab["title"].as<std::string>() == Utf8(child->text(QAccessible::Name)))
                SetFlag(tab, "aria-selected", child->state().selected);
    }
    if (std::vector<val> lists = FindElements("[role=tablist]");
        lists.size() == 1 && tabList->parent())
        lists.front().call<void>("setAttribute", val("aria-label"),
                                 Utf8(tabList->parent()->text(QAccessible::Name)));
}

// Completes the element that shadows `accessible` with what the layer leaves out: a slider's
// name, range and value in words, an optic's name and state, a label's text, the tab in front,
// and whether the control is locked.
void Describe(QAccessibleInterface* accessible) {
    const QAccessible::Role role = accessible->role();
    if (role == QAccessible::PageTabList || role == QAccessible::PageTab) {
        if (QAccessibleInterface* tabList =
                role == QAccessible::PageTab ? accessible->parent() : accessible)
            DescribeTabs(tabList);
        return;
    }
    std::vector<val> found = FindElements("[id=\"" + Utf8(ElementId(accessible)) + "\"]");
    if (found.empty())
        return;
    val& element = found.front();
    const QAccessible::State state = accessible->state();
    const QString name = accessible->text(QAccessible::Name);
    SetFlag(element, "aria-disabled", state.disabled);
    switch (role) {
    case QAccessible::Slider:
        if (QAccessibleValueInterface* value = accessible->valueInterface()) {
            // Qt sets no range: the input's own, 0 to 100, would clamp a 200 mm aperture.
            element.set("min", Utf8(value->minimumValue().toString()));
            element.set("max", Utf8(value->maximumValue().toString()));
            element.set("step", Utf8(value->minimumStepSize().toString()));
            element.set("value", Utf8(value->currentValue().toString()));
            element.set("disabled", bool(state.disabled));
            // Chromium reads a range input's number and passes its value text over: the unit
            // goes into the name ("Aperture in millimetres"), and the value in words stays for
            // the browsers that read it.
            const QString words = Spoken(accessible->text(QAccessible::Value));
            const QString unit = words.section(QLatin1Char(' '), 1);
            element.call<void>("setAttribute", val("aria-label"),
                               Utf8(unit.isEmpty() ? name : name + QLatin1String(" in ") + unit));
            element.call<void>("setAttribute", val("aria-valuetext"), Utf8(words));
        }
        break;
    case QAccessible::CheckBox:
        element.call<void>("setAttribute", val("aria-label"), Utf8(name));
        element.set("checked", bool(state.checked));
        element.set("disabled", bool(state.disabled));
        break;
    case QAccessible::StaticText: {
        // A read-only text box whose value is the text shown; a read-out is named by its
        // caption, which a caption's own text box needs no more than once. A label that shows
        // nothing is passed over, as on the desktop.
        const QString text = accessible->text(QAccessible::Value);
        element.set("value", Utf8(text));
        if (name != text)
            element.call<void>("setAttribute", val("aria-label"), Utf8(name));
        else
            element.call<void>("removeAttribute", val("aria-label"));
        SetFlag(element, "aria-hidden", state.invisible || text.isEmpty());
        break;
    }
    default:
        break;
    }
}

void DescribeTree(QAccessibleInterface* accessible) {
    if (!accessible)
        return;
    Describe(accessible);
    for (int i = 0; i < accessible->childCount(); ++i)
        DescribeTree(accessible->child(i));
}

// Qt's layer takes each change first; the element is then completed. Qt sends a change to an
// installed handler instead of its platform's layer, so the handler steps aside while Qt's
// layer takes it. A destroyed object has nothing left to describe, and asking for its interface
// again, once Qt has dropped it, would reach into the object half taken down.
void Update(QAccessibleEvent* event) {
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(event);
    QAccessible::installUpdateHandler(&Update);
    if (event->type() == QAccessible::ObjectDestroyed)
        return;
    if (QAccessibleInterface* accessible = event->accessibleInterface())
        Describe(accessible);
}

// Called by the page once its switch has had Qt's layer build its elements. Qt's layer never
// marks accessibility active, and the widgets (and the announcer) report their changes only
// while it is: the platform's layer is the one place that can.
void ScreenReaderOn() {
    if (QPlatformAccessibility* layer =
            QGuiApplicationPrivate::platformIntegration()->accessibility())
        layer->setActive(true);
    QAccessible::installUpdateHandler(&Update);
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            DescribeTree(QAccessible::queryAccessibleInterface(window));
}

// The page shows the window at its own size, which the fonts decide; a window too large for
// the browser's window gets the room there is, and scrolls its content.
void TellPageTheWindowsSize() {
    for (QWidget* window : QApplication::topLevelWidgets())
        if (qobject_cast<QMainWindow*>(window) && window->isVisible()) {
            const QSize size = window->sizeHint();
            CallPage("fit", size.width(), size.height());
        }
}

// A page's event loop never returns: the browser unwinds it as the program starts, and Qt's
// exit would reach into that loop, long gone. Quit closes the windows and tells the page,
// which cannot close its browser tab, that the program has ended.
class QuitInPage : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched != QCoreApplication::instance() || event->type() != QEvent::Quit)
            return false;
        QApplication::closeAllWindows();
        CallPage("closed");
        return true;
    }
};

} // namespace

void InstallDesktopServices(QApplication& app) {
    // A page has no desktop font: it draws in the DejaVu Sans that Qt carries, at the size
    // the window was designed in, the same on every machine.
    QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
    // Once the window is built and shown, which happens before the event loop runs.
    QTimer::singleShot(0, &app, &TellPageTheWindowsSize);
    app.installEventFilter(new QuitInPage(&app));
}

// Said once, on the control that has the focus: the announcer also tells a tab bar's tab in
// front, which the page's single live region would repeat.
void SendAnnouncement(QAccessibleInterface* focus, const QString& text) {
    if (focus->object() && focus->object() == QApplication::focusWidget()) {
        QAccessibleEvent event(focus, QAccessible::DescriptionChanged);
        QAccessible::updateAccessibility(&event);
        CallPage("announce", Utf8(text));
    }
}

} // namespace runtime

EMSCRIPTEN_BINDINGS(miravane) {
    emscripten::function("miravaneScreenReaderOn", &runtime::ScreenReaderOn);
}

#pragma once

#include "runtime/Errors.h"

#include <QMainWindow>
#include <QPointer>

class QScrollArea;

#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>

namespace runtime {

class MenuBar;
class MenuItem;

// A top-level window whose content area holds controls found by name, with a menu bar
// realised from a MenuItem tree and commands dispatched by item name. The content keeps the
// size its controls need; where that is more than the screen has room for, as with a large
// font on a small screen, it scrolls inside a window that fits, and focus scrolls with it.
class Window : public QMainWindow {
    Q_OBJECT
public:
    explicit Window(QWidget* parent = nullptr);

    // The content area below the menu bar; control coordinates are relative to it.
    QWidget* Content() const { return content_; }

    // The control registered under `name`: NilObjectException when there is none,
    // IllegalCastException when it is not a T.
    template <class T> T& Control(std::string_view name) const {
        QWidget* widget = FindControl(name);
        if (!widget)
            throw NilObjectException(name);
        auto* control = qobject_cast<T*>(widget);
        if (!control)
            throw IllegalCastException(name, T::staticMetaObject.className());
        return *control;
    }
    // Registers a control under `name`, which also becomes its objectName.
    void RegisterControl(std::string_view name, QWidget* control);

    // Shows the tree as this window's menu bar; the tree must outlive the window.
    void SetMenuBar(MenuBar& bar);
    // Choosing an item whose Name is `name` runs `handler`.
    void AddMenuHandler(std::string_view name, std::function<bool()> handler);
    // What choosing `item` from the menu bar or by its shortcut does.
    void RunMenuItem(const MenuItem& item);

    // Asks for a repaint of the whole window; Qt merges requests until the next paint.
    void Refresh() { update(); }

protected:
    bool event(QEvent* event) override;

private:
    // Once the content needs more room than the screen leaves, shows it in a scroll area of
    // that size.
    void FitToScreen();
    // Moves the content into a scroll area, for a screen with too little room.
    void MakeView();
    // Moves a window that reaches past the screen's edge back inside it.
    void Clamp();

    QWidget* FindControl(std::string_view name) const;

    QScrollArea* view_ = nullptr; // made only when a screen is too small
    QWidget* content_;
    // Looked up by a name's text, without making a string of it: every step of a drag looks
    // up its labels.
    struct NameHash {
        using is_transparent = void;
        std::size_t operator()(std::string_view name) const noexcept {
            return std::hash<std::string_view>{}(name);
        }
    };
    // A destroyed control reads as nullptr, so a later lookup fails cleanly instead of dangling.
    std::unordered_map<std::string, QPointer<QWidget>, NameHash, std::equal_to<>> controls_;
    std::map<std::string, std::function<bool()>, std::less<>> menuHandlers_;
};

} // namespace runtime

#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace runtime {

// A node of a menu tree: the bar, a menu or a command. Plain data; a Window turns the tree
// into its Qt menu bar and runs the handler bound to a chosen item's Name.
class MenuItem {
public:
    MenuItem() = default;
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;
    virtual ~MenuItem() = default;

    std::string Name;
    std::string Text;
    // "Cmd+" and a key, or empty; Cmd is Ctrl on Linux and Windows and Command on macOS.
    std::string KeyboardShortcut;

    void Append(std::unique_ptr<MenuItem> item);
    // The direct child with this name, or nullptr.
    MenuItem* Child(std::string_view name) const;

    const std::vector<std::unique_ptr<MenuItem>>& Children() const { return children_; }

private:
    std::vector<std::unique_ptr<MenuItem>> children_;
};

// Choosing it quits the application; it needs no handler of the program's own.
class QuitMenuItem : public MenuItem {};

class MenuBar : public MenuItem {};

} // namespace runtime

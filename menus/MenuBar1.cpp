#include "menus/MenuBar1.h"

#include "menus/Presets.h"
#include "runtime/Errors.h"

#include <string>

namespace menus {
namespace {

struct Node {
    const char* menu; // the menu an item goes into; nullptr for a menu itself
    const char* name;
    std::string text;
    std::string shortcut;
    bool quits = false;
};

std::vector<Node> Tree() {
    std::vector<Node> tree{
        {nullptr, "FileMenu", "&File", ""},
        {"FileMenu", "FileQuit", "Quit", "Cmd+Q", true},
        {nullptr, "EditMenu", "&Edit", ""},
        {"EditMenu", "ResetMenu", "Reset", "Cmd+R"},
        {nullptr, "TelescopeMenu", "Telescope", ""},
    };
    for (std::size_t i = 0; i < kPresets.size(); ++i)
        tree.push_back(
            {"TelescopeMenu", kPresets[i].name, kPresets[i].text, "Cmd+" + std::to_string(i + 1)});
    return tree;
}

} // namespace

MenuBar1::MenuBar1() {
    for (const Node& node : Tree()) {
        std::unique_ptr<runtime::MenuItem> item;
        if (node.quits)
            item = std::make_unique<runtime::QuitMenuItem>();
        else
            item = std::make_unique<runtime::MenuItem>();
        item->Name = node.name;
        item->Text = node.text;
        item->KeyboardShortcut = node.shortcut;
        if (!node.menu) {
            Append(std::move(item));
            continue;
        }
        runtime::MenuItem* menu = Child(node.menu);
        if (!menu)
            throw runtime::NilObjectException(node.menu);
        menu->Append(std::move(item));
    }
}

} // namespace menus

menus::MenuBar1& MenuBar1() {
    static menus::MenuBar1 bar;
    return bar;
}

#include "runtime/Menu.h"

namespace runtime {

void MenuItem::Append(std::unique_ptr<MenuItem> item) { children_.push_back(std::move(item)); }

MenuItem* MenuItem::Child(std::string_view name) const {
    for (const auto& child : children_)
        if (child->Name == name)
            return child.get();
    return nullptr;
}

} // namespace runtime

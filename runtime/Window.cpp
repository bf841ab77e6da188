#include "runtime/Window.h"

#include "runtime/Menu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

namespace runtime {
namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

// "Cmd+Q" becomes Qt's Ctrl+Q, which Qt shows and handles as Command on macOS.
QKeySequence ShortcutFor(std::string_view shortcut) {
    constexpr std::string_view command = "Cmd+";
    if (shortcut.starts_with(command))
        return QKeySequence(QStringLiteral("Ctrl+") + ToQString(shortcut.substr(command.size())));
    return QKeySequence(ToQString(shortcut));
}

} // namespace

Window::Window(QWidget* parent) : QMainWindow(parent), content_(new QWidget(this)) {
    content_->setObjectName(QStringLiteral("Content"));
    setCentralWidget(content_);
}

void Window::RegisterControl(std::string_view name, QWidget* control) {
    const QString objectName = ToQString(name);
    control->setObjectName(objectName);
    controls_.insert_or_assign(std::string(name), control);
}

QWidget* Window::FindControl(std::string_view name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second.data();
}

void Window::SetMenuBar(MenuBar& bar) {
    QMenuBar* qtBar = menuBar();
    qtBar->clear();
    for (const auto& menu : bar.Children()) {
        QMenu* qtMenu = qtBar->addMenu(ToQString(menu->Text));
        qtMenu->setObjectName(ToQString(menu->Name));
        for (const auto& item : menu->Children()) {
            QAction* action = qtMenu->addAction(ToQString(item->Text));
            action->setObjectName(ToQString(item->Name));
            action->setShortcut(ShortcutFor(item->KeyboardShortcut));
            // Only the quit command may move to where the platform keeps it (macOS); keep
            // the others from being moved by a guess on their texts.
            const bool quits = dynamic_cast<const QuitMenuItem*>(item.get()) != nullptr;
            action->setMenuRole(quits ? QAction::QuitRole : QAction::NoRole);
            const MenuItem* node = item.get();
            connect(action, &QAction::triggered, this, [this, node] { RunMenuItem(*node); });
        }
    }
}

void Window::_AddMenuHandler(std::string_view name, std::function<bool()> handler) {
    menuHandlers_.insert_or_assign(std::string(name), std::move(handler));
}

void Window::RunMenuItem(const MenuItem& item) {
    if (dynamic_cast<const QuitMenuItem*>(&item)) {
        QCoreApplication::quit();
        return;
    }
    const auto it = menuHandlers_.find(item.Name);
    if (it != menuHandlers_.end())
        it->second();
}

} // namespace runtime

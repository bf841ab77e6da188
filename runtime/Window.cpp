#include "runtime/Window.h"

#include "runtime/Menu.h"
#include "runtime/Text.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QStyle>

namespace runtime {
namespace {

// "Cmd+Q" becomes Qt's Ctrl+Q, which Qt shows and handles as Command on macOS. A letter or
// digit is looked up directly: parsing the text costs more than building the menu item.
QKeySequence ShortcutFor(std::string_view shortcut) {
    constexpr std::string_view command = "Cmd+";
    if (!shortcut.starts_with(command))
        return QKeySequence(ToQString(shortcut));
    const std::string_view key = shortcut.substr(command.size());
    if (key.size() == 1) { // Qt's key codes for A-Z and 0-9 are their ASCII codes
        if (const char c = key[0]; (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
            return QKeySequence(Qt::CTRL | static_cast<Qt::Key>(c));
    }
    return QKeySequence(QStringLiteral("Ctrl+") + ToQString(key));
}

} // namespace

Window::Window(QWidget* parent) : QMainWindow(parent), content_(new QWidget) {
    content_->setObjectName(QStringLiteral("Content"));
    // The content sits in the window itself until a screen has too little room for it: a
    // scroll area costs as much to build and show as a quarter of the controls.
    setCentralWidget(content_);
}

void Window::MakeView() {
    // The control that has or will have the window's focus keeps it as the content moves.
    QWidget* focus = focusWidget();
    if (!content_->isAncestorOf(focus))
        focus = nullptr;
    takeCentralWidget();
    view_ = new QScrollArea;
    view_->setFrameShape(QFrame::NoFrame);
    view_->setFocusPolicy(Qt::NoFocus); // Tab goes to the controls only
    view_->setWidget(content_);
    setCentralWidget(view_);
    if (focus)
        focus->setFocus(Qt::OtherFocusReason);
    connect(qApp, &QApplication::focusChanged, view_, [this](QWidget*, QWidget* now) {
        // Only a control wholly out of view: the start-up focus must not hide the focal ratio.
        if (!now || !content_->isAncestorOf(now))
            return;
        const QRect shown(now->mapTo(view_->viewport(), QPoint()), now->size());
        if (!view_->viewport()->rect().intersects(shown))
            view_->ensureWidgetVisible(now);
    });
}

bool Window::event(QEvent* event) {
    const bool handled = QMainWindow::event(event);
    // The frame's size is known once the window is shown, and a move may change the screen.
    if (event->type() == QEvent::Show || event->type() == QEvent::Move)
        FitToScreen();
    return handled;
}

void Window::FitToScreen() {
    const QSize content = content_->size();
    QSize room = content;
    if (const QScreen* screen = this->screen()) {
        const QSize frame = frameGeometry().size() - geometry().size();
        room = screen->availableGeometry().size() - frame -
               QSize(0, menuBar()->isVisible() ? menuBar()->sizeHint().height() : 0);
    }
    if (!view_) {
        if (content.width() <= room.width() && content.height() <= room.height()) {
            Clamp();
            return;
        }
        MakeView();
    }
    // A scroll bar takes room across the other way, which may then need its own bar.
    QSize view = content;
    const int bar = view_->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, view_);
    for (int pass = 0; pass < 2; ++pass) {
        if (view.width() > room.width() && view.height() == content.height())
            view.rheight() += bar;
        if (view.height() > room.height() && view.width() == content.width())
            view.rwidth() += bar;
    }
    view = view.boundedTo(room);
    if (view_->minimumSize() != view) // fixed at the size last set
        view_->setFixedSize(view);
    Clamp();
}

void Window::Clamp() {
    // A window grown past the screen's edge comes back inside it.
    if (const QScreen* screen = this->screen(); screen && isVisible()) {
        const QRect area = screen->availableGeometry(), frame = frameGeometry();
        QPoint to = frame.topLeft();
        to.setX(std::max(area.left(), std::min(to.x(), area.right() + 1 - frame.width())));
        to.setY(std::max(area.top(), std::min(to.y(), area.bottom() + 1 - frame.height())));
        if (to != frame.topLeft())
            move(to);
    }
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

void Window::AddMenuHandler(std::string_view name, std::function<bool()> handler) {
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

#include "runtime/Controls.h"

#include "runtime/accessibility/Accessible.h"

#include <QAccessible>
#include <QStackedWidget>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QToolButton>

namespace runtime {

Slider::Slider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    InstallAccessibleFactory();
    setTracking(true);
    connect(this, &QSlider::valueChanged, this, [this] {
        if (!settingValue_)
            Q_EMIT ValueChanged();
    });
}

void Slider::SetValue(int value) {
    settingValue_ = true;
    setValue(value);
    settingValue_ = false;
}

StaticText::StaticText(QWidget* parent) : QLabel(parent) {
    InstallAccessibleFactory();
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void StaticText::SetText(const QString& text) {
    // QLabel reports a new text only while the label has no name of its own. Nothing is
    // sent while no assistive tool listens, so a drag costs nothing more then.
    if (!QAccessible::isActive()) {
        setText(text);
    } else if (const QString old = this->text(); text != old) {
        setText(text);
        QAccessibleTextUpdateEvent event(this, 0, old, text);
        QAccessible::updateAccessibility(&event);
        // An empty label has no name (runtime/accessibility): a name held from before would
        // be read on an empty line.
        if (old.isEmpty() != text.isEmpty() && !accessibleName().isEmpty()) {
            QAccessibleEvent named(this, QAccessible::NameChanged);
            QAccessible::updateAccessibility(&named);
        }
    }
}

UpDownArrows::UpDownArrows(QWidget* parent)
    : QWidget(parent), up_(new QToolButton(this)), down_(new QToolButton(this)) {
    setFocusPolicy(Qt::NoFocus);
    for (auto* button : {up_, down_}) {
        button->setFocusPolicy(Qt::NoFocus);
        button->setAutoRaise(false);
        button->setAutoRepeat(false);
    }
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, &UpDownArrows::Up);
    connect(down_, &QToolButton::clicked, this, &UpDownArrows::Down);
}

void UpDownArrows::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int upHeight = (height() + 1) / 2;
    up_->setGeometry(0, 0, width(), upHeight);
    down_->setGeometry(0, upHeight, width(), height() - upHeight);
}

BevelButton::BevelButton(QWidget* parent) : QPushButton(parent) {
    InstallAccessibleFactory();
    // Tab reaches it and Space presses it. A click leaves the focus where it was, so the keys
    // go on moving the slider the user was setting.
    setFocusPolicy(Qt::TabFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &BevelButton::Action);
}

void BevelButton::SetOn(bool on) {
    if (on == on_)
        return;
    on_ = on;
    if (QAccessible::isActive()) {
        QAccessible::State changed;
        changed.checked = true;
        QAccessibleStateChangeEvent event(this, changed);
        QAccessible::updateAccessibility(&event);
    }
}

Placard::Placard(QWidget* parent) : QFrame(parent) {
    InstallAccessibleFactory();
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
}

TabPanel::TabPanel(QWidget* parent) : QTabWidget(parent) { InstallAccessibleFactory(); }

bool TabPanel::IsPageStack(const QObject* object) {
    return qobject_cast<const QStackedWidget*>(object) &&
           qobject_cast<const TabPanel*>(object->parent());
}

QPoint TabPanel::PageOrigin() const {
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}

} // namespace runtime

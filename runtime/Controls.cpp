#include "runtime/Controls.h"

#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QToolButton>

namespace runtime {

Slider::Slider(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
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
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
    setTextInteractionFlags(Qt::NoTextInteraction);
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
    setFocusPolicy(Qt::NoFocus);
    setAutoDefault(false);
    connect(this, &QPushButton::clicked, this, &BevelButton::Action);
}

Placard::Placard(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::StyledPanel | QFrame::Plain);
}

TabPanel::TabPanel(QWidget* parent) : QTabWidget(parent) {}

QPoint TabPanel::PageOrigin() const {
    QStyleOptionTabWidgetFrame option;
    initStyleOption(&option);
    return style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, this).topLeft();
}

} // namespace runtime

#include "runtime/Controls.h"

#include <QAccessibleWidget>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QToolButton>

namespace runtime {
namespace {

// A slider whose value a screen reader reads from its value label. The label is read only
// when asked, so a drag costs nothing more than before.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(Slider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text which) const override {
        if (which != QAccessible::Value)
            return QAccessibleWidget::text(which);
        if (const QLabel* label = slider()->ValueLabel())
            return label->text();
        return QString::number(slider()->value());
    }

    QVariant currentValue() const override { return slider()->value(); }
    // A value set by an assistive tool is a user's move: it runs the same update as a drag.
    void setCurrentValue(const QVariant& value) override { slider()->setValue(value.toInt()); }
    QVariant maximumValue() const override { return slider()->maximum(); }
    QVariant minimumValue() const override { return slider()->minimum(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

private:
    Slider* slider() const { return static_cast<Slider*>(widget()); }
};

// Qt's own label interface drops the text once the label has a name of its own; this one
// keeps it as the value, and keeps a caption's link to the control it labels.
class StaticTextAccessible : public QAccessibleWidget {
public:
    explicit StaticTextAccessible(StaticText* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    QString text(QAccessible::Text which) const override {
        switch (which) {
        case QAccessible::Name:
            return label()->accessibleName().isEmpty() ? label()->text()
                                                       : label()->accessibleName();
        case QAccessible::Value:
            return label()->text();
        default:
            return QAccessibleWidget::text(which);
        }
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>>
    relations(QAccessible::Relation match) const override {
        auto related = QAccessibleWidget::relations(match);
        if ((match & QAccessible::Labelled) && label()->buddy())
            if (QAccessibleInterface* buddy =
                    QAccessible::queryAccessibleInterface(label()->buddy()))
                related.append({buddy, QAccessible::Labelled});
        return related;
    }

private:
    const StaticText* label() const { return static_cast<const StaticText*>(widget()); }
};

QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String(Slider::staticMetaObject.className()))
        return new SliderAccessible(static_cast<Slider*>(object));
    if (className == QLatin1String(StaticText::staticMetaObject.className()))
        return new StaticTextAccessible(static_cast<StaticText*>(object));
    return nullptr;
}

// Before the first control is made: Qt asks for a widget's interface as early as its first
// text change and keeps the answer.
void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&AccessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace

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

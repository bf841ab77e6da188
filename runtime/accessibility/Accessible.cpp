#include "runtime/accessibility/Accessible.h"

#include "runtime/Controls.h"

#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QStackedWidget>
#include <QStyle>
#include <QTabBar>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

using Relations = QList<QPair<QAccessibleInterface*, QAccessible::Relation>>;

// The piece of a one-line text round `offset`, from any offset a client sends. Qt's default
// search never ends at the text's end or before its start with a word or sentence boundary.
std::pair<int, int> SpanAt(const QString& text, int offset, QAccessible::TextBoundaryType type) {
    const int length = int(text.size());
    offset = std::clamp(offset, 0, length);
    if (type == QAccessible::CharBoundary)
        return {offset, std::min(offset + 1, length)};
    if (type != QAccessible::WordBoundary)
        return {0, length}; // one line: it is its own sentence, line and paragraph
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(offset);
    const int start = finder.isAtBoundary() ? offset : int(finder.toPreviousBoundary());
    finder.setPosition(offset);
    const int end = int(finder.toNextBoundary());
    return {std::max(start, 0), end < 0 ? length : end};
}

// Adds the captions of `widget` as its labels, and the controls a caption names as the ones
// it labels. Looked up only when a screen reader asks.
void AddCaptionRelations(QWidget* widget, QAccessible::Relation match, Relations& related) {
    // A slider goes by its own name, which tells the telescope's from an eyepiece's: a screen
    // reader would speak a caption in its place, and three read "Focal length:".
    if (qobject_cast<Slider*>(widget))
        return;
    if (match & QAccessible::Label)
        for (const auto all = widget->window()->findChildren<StaticText*>(); auto* caption : all)
            if (caption->CaptionedControls().contains(widget))
                related.append(
                    {QAccessible::queryAccessibleInterface(caption), QAccessible::Label});
    if (const auto* caption = qobject_cast<const StaticText*>(widget);
        caption && (match & QAccessible::Labelled))
        for (QWidget* control : caption->CaptionedControls())
            if (control && !qobject_cast<Slider*>(control))
                related.append(
                    {QAccessible::queryAccessibleInterface(control), QAccessible::Labelled});
}

// A slider gives screen readers the quantity it shows, not its position; its value label's
// text ("200 mm") is its value text. Both are read only when asked, so a drag does no work
// for them.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(Slider* slider) : QAccessibleWidget(slider, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::ValueInterface)
            return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text which) const override {
        if (which == QAccessible::Description)
            return widget()->property(kAnnouncementProperty).toString();
        if (which != QAccessible::Value)
            return QAccessibleWidget::text(which);
        if (const QLabel* label = slider()->ValueLabel())
            return label->text();
        return currentValue().toString();
    }
    Relations relations(QAccessible::Relation match) const override {
        Relations related = QAccessibleWidget::relations(match);
        AddCaptionRelations(slider(), match, related);
        return related;
    }

    QVariant currentValue() const override { return slider()->value() + slider()->Offset(); }
    // A value set by an assistive tool is a user's move: it runs the same update as a drag,
    // and stops at the ends of the range as a drag does. A disabled slider cannot be dragged,
    // and takes no value either.
    void setCurrentValue(const QVariant& value) override {
        bool ok = false;
        const double wanted = value.toDouble(&ok);
        if (!ok || !std::isfinite(wanted) || !slider()->isEnabled())
            return;
        const double position =
            std::clamp(std::round(wanted) - slider()->Offset(), double(slider()->minimum()),
                       double(slider()->maximum()));
        slider()->setValue(static_cast<int>(position));
    }
    QVariant maximumValue() const override { return slider()->maximum() + slider()->Offset(); }
    QVariant minimumValue() const override { return slider()->minimum() + slider()->Offset(); }
    QVariant minimumStepSize() const override { return slider()->singleStep(); }

private:
    Slider* slider() const { return static_cast<Slider*>(widget()); }
};

// Qt's own label interface drops the text once the label has a name of its own, and offers
// no text interface; this one keeps the name, offers the text as one plain line that cannot
// be selected, and links a caption with the controls it names.
class StaticTextAccessible : public QAccessibleWidget, public QAccessibleTextInterface {
public:
    explicit StaticTextAccessible(StaticText* label)
        : QAccessibleWidget(label, QAccessible::StaticText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }
    QString text(QAccessible::Text which) const override {
        switch (which) {
        // A label that shows nothing says nothing: its name would be heard where the eye
        // sees an empty place ("Optic in the light path" with no optic in).
        case QAccessible::Name:
            return label()->accessibleName().isEmpty() || label()->text().isEmpty()
                       ? Read()
                       : label()->accessibleName();
        case QAccessible::Value:
            return Read();
        default:
            return QAccessibleWidget::text(which);
        }
    }
    Relations relations(QAccessible::Relation match) const override {
        Relations related = QAccessibleWidget::relations(match);
        AddCaptionRelations(label(), match, related);
        return related;
    }

    // An end below 0 means the text's end, as AT-SPI clients send it.
    QString text(int startOffset, int endOffset) const override {
        const QString text = Read();
        const int length = int(text.size());
        const int start = std::clamp(startOffset, 0, length);
        const int end = endOffset < 0 ? length : std::clamp(endOffset, start, length);
        return text.mid(start, end - start);
    }
    QString textAtOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                         int* endOffset) const override {
        return Piece(SpanAt(Read(), offset, type), startOffset, endOffset);
    }
    QString textBeforeOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                             int* endOffset) const override {
        const QString text = Read();
        const int start = SpanAt(text, offset, type).first;
        return Piece(start > 0 ? SpanAt(text, start - 1, type) : std::pair(0, 0), startOffset,
                     endOffset);
    }
    QString textAfterOffset(int offset, QAccessible::TextBoundaryType type, int* startOffset,
                            int* endOffset) const override {
        const QString text = Read();
        const int length = int(text.size());
        const int end = SpanAt(text, offset, type).second;
        return Piece(end < length ? SpanAt(text, end, type) : std::pair(length, length),
                     startOffset, endOffset);
    }
    int characterCount() const override { return int(label()->text().size()); }
    // Where the characters are drawn, in screen coordinates, as QLabel aligns its one line.
    QRect characterRect(int offset) const override {
        const QString text = label()->text();
        if (offset < 0 || offset >= text.size())
            return {};
        const QFontMetrics metrics = label()->fontMetrics();
        const QRect line = QStyle::alignedRect(
            label()->layoutDirection(), label()->alignment(),
            QSize(metrics.horizontalAdvance(text), metrics.height()), label()->contentsRect());
        const QRect glyph(line.left() + metrics.horizontalAdvance(text.left(offset)), line.top(),
                          metrics.horizontalAdvance(text.at(offset)), line.height());
        return QRect(label()->mapToGlobal(glyph.topLeft()), glyph.size());
    }
    int offsetAtPoint(const QPoint& point) const override {
        for (int offset = 0; offset < characterCount(); ++offset)
            if (characterRect(offset).contains(point))
                return offset;
        return -1;
    }
    // Nothing to select, no caret, no attributes, and the whole line is always in view.
    void selection(int, int* startOffset, int* endOffset) const override {
        *startOffset = *endOffset = 0;
    }
    int selectionCount() const override { return 0; }
    void addSelection(int, int) override {}
    void removeSelection(int) override {}
    void setSelection(int, int, int) override {}
    int cursorPosition() const override { return 0; }
    void setCursorPosition(int) override {}
    void scrollToSubstring(int, int) override {}
    QString attributes(int, int* startOffset, int* endOffset) const override {
        *startOffset = 0;
        *endOffset = characterCount();
        return {};
    }

private:
    StaticText* label() const { return static_cast<StaticText*>(widget()); }
    // The text as read aloud or in braille: the degree sign that speech knows in place of
    // the ring above that the window shows, character for character.
    QString Read() const { return QString(label()->text()).replace(QChar(0x02DA), QChar(0x00B0)); }
    QString Piece(std::pair<int, int> span, int* startOffset, int* endOffset) const {
        *startOffset = span.first;
        *endOffset = span.second;
        return Read().mid(span.first, span.second - span.first);
    }
};

// A button that says whether what it switches is on, and that a screen reader can press.
// Qt's plain widget interface has no press action, so a tool could not work the button. It
// goes as a check box: screen readers voice "checked" on a check box, never on a button.
class BevelButtonAccessible : public QAccessibleWidget {
public:
    explicit BevelButtonAccessible(BevelButton* button)
        : QAccessibleWidget(button, QAccessible::CheckBox) {}

    QString text(QAccessible::Text which) const override {
        return which == QAccessible::Description
                   ? widget()->property(kAnnouncementProperty).toString()
                   : QAccessibleWidget::text(which);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = true;
        state.checked = button()->IsOn();
        return state;
    }
    QStringList actionNames() const override {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    // The same click as the mouse's, so the button's own handler runs; a disabled button
    // does nothing, as under the mouse.
    void doAction(const QString& action) override {
        if (action != pressAction())
            return QAccessibleWidget::doAction(action);
        if (button()->isEnabled())
            button()->click();
    }

private:
    BevelButton* button() const { return static_cast<BevelButton*>(widget()); }
};

// The stack of a tab panel's pages: a group with no name, which screen readers pass over (Qt
// calls it a "layered pane", the name of a class and nothing the user sees), with its pages in
// the order of their tabs, whichever is in front.
class PageStackAccessible : public QAccessibleWidget {
public:
    explicit PageStackAccessible(QStackedWidget* stack)
        : QAccessibleWidget(stack, QAccessible::Grouping) {}

    int childCount() const override { return stack()->count(); }
    QAccessibleInterface* child(int index) const override {
        return QAccessible::queryAccessibleInterface(stack()->widget(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? stack()->indexOf(qobject_cast<QWidget*>(child->object())) : -1;
    }

private:
    QStackedWidget* stack() const { return static_cast<QStackedWidget*>(widget()); }
};

// A page tab that holds the focus only while its tab bar does. Qt's own tab says it has the
// focus whenever it is in front, and a screen reader that asks which control has the focus
// (UI Automation's HasKeyboardFocus) would find two: the control in focus and the tab.
class PageTabAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    PageTabAccessible(QTabBar* bar, int index) : bar_(bar), index_(index) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this)
                                                    : nullptr;
    }
    bool isValid() const override { return bar_ && index_ < bar_->count(); }
    QObject* object() const override { return nullptr; }
    QAccessibleInterface* parent() const override {
        return QAccessible::queryAccessibleInterface(bar_.data());
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text which) const override {
        return isValid() && which == QAccessible::Name ? bar_->tabText(index_) : QString();
    }
    void setText(QAccessible::Text, const QString&) override {}
    QAccessible::Role role() const override { return QAccessible::PageTab; }
    QAccessible::State state() const override {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state = parent()->state();
        state.selectable = true;
        state.selected = index_ == bar_->currentIndex();
        state.focused = state.selected && bar_->hasFocus();
        return state;
    }
    QRect rect() const override {
        return isValid() ? bar_->tabRect(index_).translated(bar_->mapToGlobal(QPoint())) : QRect();
    }

    QStringList actionNames() const override { return {pressAction()}; }
    void doAction(const QString& action) override {
        if (isValid() && action == pressAction())
            bar_->setCurrentIndex(index_);
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QPointer<QTabBar> bar_;
    int index_;
};

// A widget that hands its focus on, so that one element alone says it has the focus: the tab
// bar to its tab in front, the tab panel to its tab bar (its focus proxy, which Qt's widget
// interface counts as the panel's own focus).
class FocusPassingAccessible : public QAccessibleWidget {
public:
    using QAccessibleWidget::QAccessibleWidget;
    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.focused = false;
        return state;
    }
};

// The page tabs, named after the one in front as Qt names them; each tab is made when first
// asked for and lives as long as the bar's interface.
class TabBarAccessible : public FocusPassingAccessible {
public:
    explicit TabBarAccessible(QTabBar* bar)
        : FocusPassingAccessible(bar, QAccessible::PageTabList) {}
    ~TabBarAccessible() override {
        for (const QAccessible::Id id : std::as_const(tabs_))
            QAccessible::deleteAccessibleInterface(id);
    }

    int childCount() const override { return bar()->count(); }
    QAccessibleInterface* child(int index) const override {
        if (index < 0 || index >= bar()->count())
            return nullptr;
        if (!tabs_.contains(index))
            tabs_.insert(index, QAccessible::registerAccessibleInterface(
                                    new PageTabAccessible(bar(), index)));
        return QAccessible::accessibleInterface(tabs_.value(index));
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        for (auto tab = tabs_.cbegin(); tab != tabs_.cend(); ++tab)
            if (QAccessible::accessibleInterface(tab.value()) == child)
                return tab.key();
        return -1;
    }
    QAccessibleInterface* focusChild() const override {
        return bar()->hasFocus() ? child(bar()->currentIndex()) : nullptr;
    }
    QString text(QAccessible::Text which) const override {
        return which == QAccessible::Name ? bar()->tabText(bar()->currentIndex())
                                          : QAccessibleWidget::text(which);
    }

private:
    QTabBar* bar() const { return static_cast<QTabBar*>(widget()); }
    mutable QHash<int, QAccessible::Id> tabs_;
};

QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
    if (className == QLatin1String(Slider::staticMetaObject.className()))
        return new SliderAccessible(static_cast<Slider*>(object));
    if (className == QLatin1String(StaticText::staticMetaObject.className()))
        return new StaticTextAccessible(static_cast<StaticText*>(object));
    if (className == QLatin1String(BevelButton::staticMetaObject.className()))
        return new BevelButtonAccessible(static_cast<BevelButton*>(object));
    // A group, not a frame: a screen reader takes a frame for a window and keeps its review
    // of the screen inside it.
    if (className == QLatin1String(Placard::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    // A tab panel's pages are groups named after their tabs.
    if (className == QLatin1String("QStackedWidget") && TabPanel::IsPageStack(object))
        return new PageStackAccessible(static_cast<QStackedWidget*>(object));
    if (className == QLatin1String("QWidget") && object->parent() &&
        TabPanel::IsPageStack(object->parent()))
        return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Grouping);
    if (className == QLatin1String("QTabBar"))
        return new TabBarAccessible(static_cast<QTabBar*>(object));
    if (className == QLatin1String(TabPanel::staticMetaObject.className()))
        return new FocusPassingAccessible(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void InstallAccessibleFactory() {
    static const bool installed = [] {
        QAccessible::installFactory(&AccessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

QString Spoken(const QString& shown) {
    QString text = shown;
    text.replace(QLatin1String(" mm"), QLatin1String(" millimetres"));
    text.replace(QChar(0x02DA), QLatin1String(" degrees"));
    text.replace(QLatin1Char('\''), QLatin1String(" minutes"));
    return text;
}

} // namespace runtime

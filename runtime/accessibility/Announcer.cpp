#include "runtime/accessibility/Announcer.h"

#include "runtime/Controls.h"
#include "runtime/Desktop.h"
#include "runtime/accessibility/Accessible.h"

#include <QAccessible>
#include <QApplication>

namespace runtime {
namespace {

std::function<void(QWidget*, const QString&)>& Observer() {
    static std::function<void(QWidget*, const QString&)> observer;
    return observer;
}

// What a control says of itself when it leads an announcement: a slider its value in words, an
// optic's button whether it is in.
QString Lead(const QWidget* control) {
    if (const auto* slider = qobject_cast<const Slider*>(control); slider && slider->ValueLabel())
        return Spoken(slider->ValueLabel()->text());
    if (const auto* button = qobject_cast<const BevelButton*>(control))
        return button->accessibleName() +
               QLatin1String(button->IsOn() ? " checked" : " not checked");
    return {};
}

} // namespace

Announcer::Announcer(QWidget* window, std::function<QString()> results)
    : QObject(window), window_(window), results_(std::move(results)) {
    pause_.setSingleShot(true);
    pause_.setInterval(150);
    connect(&pause_, &QTimer::timeout, this, &Announcer::Send);
    // What was said on one control is no news on the next.
    connect(qApp, &QApplication::focusChanged, this, [this] {
        if (described_)
            described_->setProperty(kAnnouncementProperty, QVariant());
    });
}

void Announcer::Later(QWidget* subject) {
    // A drag runs this for every step: only a listener makes it worth a timer.
    if (!QAccessible::isActive() && !Observer())
        return;
    subject_ = subject;
    pause_.start();
}

void Announcer::SendPending() {
    if (pause_.isActive()) {
        pause_.stop();
        Send();
    }
}

void Announcer::Send() {
    QWidget* focus = QApplication::focusWidget();
    if (!focus || focus->window() != window_)
        return;
    const QString lead = Lead(subject_ ? subject_.data() : focus);
    const QString results = results_();
    const QString text = lead.isEmpty() ? results : lead + QLatin1String(". ") + results;
    focus->setProperty(kAnnouncementProperty, text);
    described_ = focus;
    if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(focus))
        SendAnnouncement(accessible, text);
    if (const auto& observer = Observer())
        observer(focus, text);
}

void Announcer::SetObserver(std::function<void(QWidget*, const QString&)> observer) {
    Observer() = std::move(observer);
}

} // namespace runtime

#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <functional>

class QWidget;

namespace runtime {

// Tells a screen reader the results of a user's action, from the control that has the focus
// (which also offers them as its description), led by a control's own value or state. The text
// is composed when it goes out, from what the window shows then: an action that recalculates
// more than once is spoken once, with its final numbers. Changes in quick succession (a held
// key, a drag) are spoken once they stop, as the latest results only. Nothing is composed while
// no screen reader listens.
class Announcer : public QObject {
    Q_OBJECT
public:
    // `results` composes the window's results as they are shown at the moment it is called.
    Announcer(QWidget* window, std::function<QString()> results);

    // After a change: the results go out once changes pause, led by `subject`'s value or state
    // where given, else by the focused control's. The latest call decides the lead.
    void Later(QWidget* subject = nullptr);

    // Sends a pending announcement at once. Tests play thousands of actions and cannot wait out
    // each pause.
    void SendPending();

    // Called with each announcement as it goes out, and the control it describes; an empty
    // function removes the observer. Lets tests hear what a screen reader is told: an
    // observer listens as one does, on any platform.
    static void SetObserver(std::function<void(QWidget* described, const QString& text)> observer);

private:
    void Send();

    QWidget* window_;
    std::function<QString()> results_;
    QTimer pause_;
    QPointer<QWidget> subject_;
    QPointer<QWidget> described_;
};

} // namespace runtime

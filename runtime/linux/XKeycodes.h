#pragma once

#include <QObject>

namespace runtime {

// Ctrl shortcuts for keyboard layouts whose keys give no symbol that can name them: AZERTY's
// digit row gives "&", Cyrillic, Hebrew and Arabic keys give their own letters. When Ctrl and
// such a key match no shortcut, the key counts as the one in its place on the US layout.
// A plain letter or digit keeps the layout's meaning. A key event's native scan code is read
// as an X keycode: install it only under X11 and Wayland.
class UsKeyFallback : public QObject {
    Q_OBJECT
public:
    explicit UsKeyFallback(QObject* parent);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace runtime

#include "runtime/linux/AtSpiBus.h"

#include "runtime/Controls.h"
#include "runtime/Desktop.h"
#include "runtime/accessibility/Accessible.h"

#include <QAccessible>
#include <QApplication>
#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QHash>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>

namespace runtime {
namespace {

// Functions, not global QStrings, which would be built before main() runs.
QString BusName() { return QStringLiteral("a11y"); } // the name Qt's bridge gives its connection
QString Root() { return QStringLiteral("/org/a11y/atspi/accessible"); }
QString Properties() { return QStringLiteral("org.freedesktop.DBus.Properties"); }
constexpr uint kWindowCoordinates = 1; // AT-SPI's coordinate types: screen 0, window 1

QAccessibleInterface* InterfaceAt(const QString& path) {
    bool ok = false;
    const QAccessible::Id id = path.section(QLatin1Char('/'), -1).toUInt(&ok);
    return ok ? QAccessible::accessibleInterface(id) : nullptr;
}

class BusGuard : public QDBusVirtualObject {
public:
    BusGuard(QDBusVirtualObject* qtAdaptor, QObject* parent)
        : QDBusVirtualObject(parent), qt_(qtAdaptor) {
        qDBusRegisterMetaType<QMap<QString, QString>>();
    }

    QString introspect(const QString& path) const override {
        return qt_ ? qt_->introspect(path) : QString();
    }

    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
        if (!qt_)
            return false;
        if (const QString refusal = Refusal(message); !refusal.isEmpty()) {
            connection.send(message.createErrorReply(QDBusError::InvalidArgs, refusal));
            return true;
        }
        QAccessibleInterface* accessible = InterfaceAt(message.path());
        if (message.member() == QLatin1String("GetAttributes") && accessible &&
            qobject_cast<Slider*>(accessible->object())) {
            const auto* slider = static_cast<Slider*>(accessible->object());
            QMap<QString, QString> attributes;
            if (const QLabel* label = slider->ValueLabel())
                attributes[QStringLiteral("valuetext")] = Spoken(label->text());
            connection.send(message.createReply(QVariant::fromValue(attributes)));
            return true;
        }
        if (message.member() == QLatin1String("GetRangeExtents") && accessible &&
            accessible->textInterface() && message.arguments().size() == 3) {
            // Qt measures every offset between the two ends, however far apart they are, and
            // the character at the end too, where the range has already stopped.
            const QList<QVariant> arguments = message.arguments();
            QAccessibleTextInterface* text = accessible->textInterface();
            const int count = text->characterCount();
            const int start = std::clamp(arguments[0].toInt(), 0, count);
            const int end =
                arguments[1].toInt() == -1 ? count : std::clamp(arguments[1].toInt(), 0, count);
            QRect extents;
            for (int offset = start; offset < end; ++offset)
                extents |= text->characterRect(offset);
            const auto* widget = qobject_cast<const QWidget*>(accessible->object());
            if (arguments[2].toUInt() == kWindowCoordinates && widget && extents.isValid())
                extents.translate(-widget->window()->mapToGlobal(QPoint()));
            connection.send(message.createReply(
                QList<QVariant>{extents.x(), extents.y(), extents.width(), extents.height()}));
            return true;
        }
        return qt_->handleMessage(message, connection);
    }

private:
    // Why a call is refused, or nothing when Qt may answer it.
    QString Refusal(const QDBusMessage& message) {
        const QString method = message.interface() + QLatin1Char('.') + message.member();
        if (message.interface() == Properties()) {
            // Qt reads a property's name even from GetAll, which has none, and crashes.
            static const QHash<QString, QString> kSignatures{
                {QStringLiteral("Get"), QStringLiteral("ss")},
                {QStringLiteral("Set"), QStringLiteral("ssv")}};
            const auto found = kSignatures.constFind(message.member());
            if (found == kSignatures.cend() || *found != message.signature())
                return method + QLatin1String(" takes other arguments");
            if (message.member() == QLatin1String("Set"))
                return ValueRefusal(message.arguments().at(2).value<QDBusVariant>().variant());
            return {};
        }
        const auto known = Signatures(message.path());
        const auto found = known.constFind(method);
        if (found != known.cend() && *found != message.signature())
            return method + QLatin1String(" takes (") + *found + QLatin1String(")");
        // Qt cannot send its answer to this one, and the client would wait for it in vain.
        if (message.member() == QLatin1String("GetBoundedRanges"))
            return QStringLiteral("bounded ranges are not offered");
        // Qt reads the value of this method where Properties.Set has it, past its one argument.
        if (message.member() == QLatin1String("SetCurrentValue"))
            return QStringLiteral("set the CurrentValue property instead");
        return {};
    }

    // A value a client may set: a finite number. Anything else would be read as 0 by Qt.
    static QString ValueRefusal(const QVariant& value) {
        const int type = value.metaType().id();
        const bool number = type == QMetaType::Double || type == QMetaType::Int ||
                            type == QMetaType::UInt || type == QMetaType::LongLong ||
                            type == QMetaType::ULongLong || type == QMetaType::Short ||
                            type == QMetaType::UShort || type == QMetaType::UChar;
        if (!number || !std::isfinite(value.toDouble()))
            return QStringLiteral("a value must be a finite number");
        return {};
    }

    // The input signature of each method the object's introspection lists, by
    // "interface.member". Read once per set of interfaces, as objects share them.
    QHash<QString, QString> Signatures(const QString& path) {
        const QString xml = qt_->introspect(path);
        auto cached = cache_.constFind(xml);
        if (cached != cache_.cend())
            return *cached;
        QHash<QString, QString> signatures;
        QXmlStreamReader reader(QLatin1String("<node>") + xml + QLatin1String("</node>"));
        QString interface, method;
        while (!reader.atEnd()) {
            reader.readNext();
            const auto attributes = reader.attributes();
            if (reader.isStartElement() && reader.name() == QLatin1String("interface"))
                interface = attributes.value(QLatin1String("name")).toString();
            else if (reader.isStartElement() && reader.name() == QLatin1String("method"))
                signatures[method = interface + QLatin1Char('.') +
                                    attributes.value(QLatin1String("name")).toString()] = QString();
            else if (reader.isEndElement() && reader.name() == QLatin1String("method"))
                method.clear();
            else if (reader.isStartElement() && reader.name() == QLatin1String("arg") &&
                     !method.isEmpty() &&
                     attributes.value(QLatin1String("direction")) == QLatin1String("in"))
                signatures[method] += attributes.value(QLatin1String("type")).toString();
        }
        return *cache_.insert(xml, signatures);
    }

    QPointer<QDBusVirtualObject> qt_;
    QHash<QString, QHash<QString, QString>> cache_;
};

// Takes Qt's adaptor off the path and puts the guard there in its place, with Qt's behind it.
bool Install(QObject* parent) {
    QDBusConnection bus(BusName());
    if (!bus.isConnected())
        return false;
    auto* qtAdaptor = dynamic_cast<QDBusVirtualObject*>(bus.objectRegisteredAt(Root()));
    if (!qtAdaptor || dynamic_cast<BusGuard*>(qtAdaptor))
        return qtAdaptor != nullptr;
    bus.unregisterObject(Root(), QDBusConnection::UnregisterTree);
    return bus.registerVirtualObject(Root(), new BusGuard(qtAdaptor, parent),
                                     QDBusConnection::SubPath);
}

// Qt's bridge may turn accessibility on before its bus connection is there, and registers its
// adaptor only once it is: try again for a while until the adaptor can be guarded.
void InstallSoon(QObject* parent, int triesLeft) {
    QTimer::singleShot(triesLeft == 100 ? 0 : 100, parent, [parent, triesLeft] {
        if (!Install(parent) && triesLeft > 0)
            InstallSoon(parent, triesLeft - 1);
    });
}

// Sends an AT-SPI object event about `accessible` on Qt's bus connection.
void SendObjectEvent(QAccessibleInterface* accessible, const QString& member, const QString& kind,
                     int detail, const QVariant& data) {
    const QString path =
        Root() + QLatin1Char('/') + QString::number(QAccessible::uniqueId(accessible));
    QDBusMessage signal =
        QDBusMessage::createSignal(path, QStringLiteral("org.a11y.atspi.Event.Object"), member);
    signal << kind << detail << 0 << QVariant::fromValue(QDBusVariant(data)) << QVariantMap();
    QDBusConnection(BusName()).send(signal);
}

// Qt tells screen readers that a widget shown or hidden starts or stops "showing", never that
// it becomes visible or invisible, though both states change. A screen reader that read the
// labels of a page while it was hidden keeps them invisible once the page is in front again,
// and leaves them out of its review of the window; this tells the rest.
class VisibilityTeller : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A window minimised or restored hides or shows nothing to a screen reader.
        if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) &&
            !event->spontaneous() && watched->isWidgetType())
            if (QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(watched))
                SendObjectEvent(accessible, QStringLiteral("StateChanged"),
                                QStringLiteral("visible"), accessible->state().invisible ? 0 : 1,
                                0);
        return false;
    }
};

// Watches shows and hides only while an assistive tool listens: nobody else hears of them.
struct Observer : QAccessible::ActivationObserver {
    QObject* parent;
    VisibilityTeller* teller = nullptr;
    void accessibilityActiveChanged(bool active) override {
        if (!teller)
            teller = new VisibilityTeller(parent);
        if (active) {
            InstallSoon(parent, 100);
            qApp->installEventFilter(teller);
        } else {
            qApp->removeEventFilter(teller);
        }
    }
};

} // namespace

#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// Qt's bridge carries an announcement, which Orca speaks from whatever has the focus: once,
// where a description change on the page tabs is heard from the tab bar and the tab alike.
void SendAnnouncement(QAccessibleInterface* focus, const QString& text) {
    QAccessibleAnnouncementEvent event(focus, text);
    QAccessible::updateAccessibility(&event);
}
#else
void SendAnnouncement(QAccessibleInterface* focus, const QString& text) {
    // Sent here rather than by Qt, which gives a description's event the object in place of
    // the text that screen readers speak from it.
    // A screen reader hears a description change only on the object it holds as focused. On
    // the page tabs that is the tab bar after Tab, but the tab in front after an arrow key:
    // both are told, and only the one in focus is heard.
    const auto tell = [&text](QAccessibleInterface* object) {
        SendObjectEvent(object, QStringLiteral("PropertyChange"),
                        QStringLiteral("accessible-description"), 0, text);
    };
    tell(focus);
    if (QAccessibleInterface* child = focus->focusChild(); child && child != focus)
        tell(child);
}
#endif

void GuardAccessibilityBus(QObject* parent) {
    static Observer observer;
    observer.parent = parent;
    QAccessible::installActivationObserver(&observer);
    if (QAccessible::isActive())
        observer.accessibilityActiveChanged(true);
}

} // namespace runtime

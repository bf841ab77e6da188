// Plays seeded random user actions on the real window and after each compares it with a model
// of its own, and now and then the screen with a fresh paint. A failure names its seed and
// actions, replayed with MIRAVANE_RANDOM_SEEDS ("7" or "1-200") and MIRAVANE_RANDOM_ACTIONS.
#include "UiTestFixture.h"

#include "runtime/accessibility/Announcer.h"

#include <QAccessible>
#include <QScreen>
#include <QStyleOptionSlider>
#include <QTabBar>

#include <array>
#include <random>

using namespace uitest;

namespace {

// numerator / denominator (both positive) to `places` decimals, a half away from zero, in
// whole numbers: the exact answer a person works out, sharing nothing with runtime::Format.
QString Rounded(long long numerator, long long denominator, int places) {
    for (int i = 0; i < places; ++i)
        numerator *= 10;
    QString text = QString::number((2 * numerator + denominator) / (2 * denominator))
                       .rightJustified(places + 1, '0');
    return places > 0 ? text.insert(text.size() - places, '.') : text;
}

// The six inputs; each eyepiece page holds an EFL and the AFOV after it.
enum Input { Aperture, FocalLength, Efl, Afov, Efl1, Afov1, InputCount };

// clang-format off
struct InputInfo { const char *slider, *arrows, *label; int offset, top; const char* suffix; };
const InputInfo kInputs[InputCount] = {
    {"ApertureSlider", "ApertureUpDownArrows", "ApertureText", 50, 350, " mm"},
    {"FLSlider", "FLUpDownArrows", "FocalLengthText", 400, 2600, " mm"},
    {"EFLSlider", "EFUpDownArrows", "EFLText", 3, 52, " mm"},
    {"AFOVSlider", "AFOVUpDownArrows", "AFOVText", 0, 90, "˚"},
    {"EFLSlider1", "EFUpDownArrows1", "EFLText1", 3, 52, " mm"},
    {"AFOVSlider1", "AFOVUpDownArrows1", "AFOVText1", 0, 90, "˚"},
};
const std::array<int, InputCount> kStart{150, 1600, 22, 50, 29, 52};
// Slider keys and how far each moves the value.
const std::pair<const char*, int> kKeys[] = {{"Left", -1}, {"Right", 1}, {"Down", -1}, {"Up", 1},
    {"PgDown", -20}, {"PgUp", 20}, {"Home", -9999}, {"End", 9999}};
// The Telescope menu's stock telescopes, in shortcut order: aperture and focal length.
const int kPresets[9][2] = {{76, 480}, {80, 900}, {90, 1250}, {102, 1000}, {114, 910},
                            {150, 1200}, {150, 750}, {200, 2000}, {235, 2350}};
enum class Optic { None, Barlow, Reducer };
// clang-format on
// Each optic's button, as a screen reader names it, and its factor in hundredths.
const char* const kOpticNames[] = {"", "Barlow lens", "Reducer/corrector"};
const long long kHundredths[] = {100, 200, 63};

#if !defined(Q_OS_WASM) && QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
// Where Qt's own bridge speaks to screen readers, each announcement must reach it as Qt's
// announcement event from the control in focus: what AT-SPI, UI Automation or macOS hears.
#define MIRAVANE_ANNOUNCEMENT_EVENTS
QStringList& Delivered() {
    static QStringList messages;
    return messages;
}
void Deliver(QAccessibleEvent* event) {
    if (event->type() != QAccessible::Announcement)
        return;
    const QString message = static_cast<QAccessibleAnnouncementEvent*>(event)->message();
    Delivered() << (event->object() == QApplication::focusWidget()
                        ? message
                        : "from a control out of focus: " + message);
}
#endif

struct SliderAccess : QSlider {
    using QSlider::initStyleOption; // protected, but the style needs it to place the handle
};

// One sequence: the window, the model of what it should show, the random source and a log.
struct Run {
    ui::Window1& w;
    std::mt19937_64 random;
    BeepCounter beeps{};
    QStringList log{};
    QStringList midDrag{}; // labels that lagged behind a drag's handle in the last action

    // The model: the sliders, the optic in the light path, the beeps and the page in front.
    std::array<int, InputCount> position = kStart;
    Optic optic = Optic::None;
    int beepsExpected = 0, tab = 0;
    // What a screen reader was told during the last action, and what that action changed.
    QStringList heard{};
    bool changed = false;
    QString lead{}; // how the announcement must begin, where the action decides it
    int announced = 0;

    unsigned pick(unsigned count) { return unsigned(random() % count); }
    bool locked(int input) const { return optic != Optic::None && input <= FocalLength; }
    int value(int input) const { return position[input] + kInputs[input].offset; }
    QString shown(int input) const {
        return (input == FocalLength ? Rounded(focal(), 100, 0) : QString::number(value(input))) +
               QString::fromUtf8(kInputs[input].suffix);
    }
    // The focal length in hundredths of a millimetre, exact with either optic.
    long long focal() const { return value(FocalLength) * kHundredths[int(optic)]; }
    QString fNumber() const { return Rounded(focal(), 100 * value(Aperture), 1); }
    // An eyepiece's magnification, true field and exit pupil, as numbers.
    std::array<QString, 3> eyepiece(int page) const {
        const long long efl = value(page ? Efl1 : Efl), afov = value(page ? Afov1 : Afov);
        return {Rounded(focal(), 100 * efl, 0), Rounded(6000 * afov * efl, focal(), 1),
                Rounded(100 * value(Aperture) * efl, focal(), 1)};
    }

    // A user's move of a slider, which a lock holds.
    void move(int input, int to) {
        if (!locked(input))
            position[input] = std::clamp(to, 0, kInputs[input].top);
    }

    // Plays one random action on the window and on the model. Slider actions go only to
    // the telescope's inputs or the front page's, which a user can reach.
    void act() {
        heard.clear();
        lead.clear();
        midDrag.clear();
#ifdef MIRAVANE_ANNOUNCEMENT_EVENTS
        Delivered().clear();
#endif
        const auto before = std::make_pair(position, optic);
        const unsigned roll = pick(100), choice = pick(4);
        const int input = choice < 2 ? int(choice) : Efl + 2 * tab + int(choice) - 2;
        const InputInfo& in = kInputs[input];
        QString action;
        if (roll < 24) {
            const auto [key, delta] = kKeys[pick(std::size(kKeys))];
            action = QString::fromLatin1(key) + ':' + in.slider;
            move(input, position[input] + delta);
        } else if (roll < 40) {
            // A drag reports the step nearest x's share of the groove, as QSlider maps pixels.
            auto& slider = w.Control<runtime::Slider>(in.slider);
            QStyleOptionSlider o;
            (slider.*&SliderAccess::initStyleOption)(&o);
            const auto sub = [&](QStyle::SubControl c) {
                return slider.style()->subControlRect(QStyle::CC_Slider, &o, c, &slider);
            };
            const QRect handle = sub(QStyle::SC_SliderHandle),
                        groove = sub(QStyle::SC_SliderGroove);
            const long long span = groove.width() - handle.width(), top = slider.maximum();
            QPoint at = handle.center();
            log << QStringLiteral("drag %1 from x %2 to x").arg(in.slider).arg(at.x());
            QTest::mousePress(&slider, Qt::LeftButton, {}, at);
            for (unsigned i = 0, moves = 1 + pick(4); i < moves; ++i) {
                // Now and then past either end, where the handle stops at the bound.
                at.setX(int(pick(unsigned(slider.width()) + 60)) - 30);
                log.back() += QStringLiteral(" %1").arg(at.x());
                QTest::mouseMove(&slider, at);
                const long long pixels = std::clamp<long long>(
                    at.x() - handle.center().x() + handle.left() - groove.left(), 0, span);
                move(input, int((2 * pixels * top + span) / (2 * span)));
                // The label follows the handle, not only where it stops.
                if (const QString seen = text(w, in.label); seen != shown(input))
                    midDrag << QStringLiteral("%1 is \"%2\" during the drag, expected \"%3\"")
                                   .arg(in.label, seen, shown(input));
            }
            QTest::mouseRelease(&slider, Qt::LeftButton, {}, at);
        } else if (roll < 66) {
            // Near an end, mostly towards it, so that the ends and their beep come up often.
            const bool nearEnd = position[input] <= 2 || position[input] >= in.top - 2;
            const bool up = nearEnd && pick(3) ? position[input] >= in.top - 2 : pick(2);
            action = QString::fromLatin1(up ? "up:" : "down:") + in.arrows;
            if (!locked(input) && position[input] == (up ? in.top : 0))
                ++beepsExpected;
            else
                move(input, position[input] + (up ? 1 : -1));
        } else if (roll < 80) {
            const Optic button = pick(2) ? Optic::Barlow : Optic::Reducer;
            action = button == Optic::Barlow ? "Barlow" : "R/C";
            // The other optic's button is disabled while one is in.
            if (optic == Optic::None || optic == button) {
                optic = optic == Optic::None ? button : Optic::None;
                lead = QLatin1String(kOpticNames[int(button)]) +
                       (optic == Optic::None ? QStringLiteral(" not checked. ")
                                             : QStringLiteral(" checked. "));
            }
        } else if (roll < 93) {
            // Ctrl+1..9 load the presets, Ctrl+R (one time in four) resets.
            const int index = int(pick(12));
            action =
                index < 9 ? QStringLiteral("Ctrl+%1").arg(index + 1) : QStringLiteral("Ctrl+R");
            if (index >= 9)
                position = kStart, optic = Optic::None;
            else {
                position[Aperture] = kPresets[index][0] - kInputs[Aperture].offset;
                position[FocalLength] = kPresets[index][1] - kInputs[FocalLength].offset;
            }
        } else {
            tab = int(pick(2));
            action = QStringLiteral("page%1").arg(tab + 1);
        }
        if (action.startsWith(QLatin1String("Ctrl+")) && action != QLatin1String("Ctrl+R") &&
            optic != Optic::None)
            lead = QLatin1String(kOpticNames[int(optic)]) + QStringLiteral(" checked. ");
        if (!action.isEmpty()) {
            log << action;
            play(w, action);
        }
        // What the pause after the action would send, sent now.
        w.findChild<runtime::Announcer*>()->SendPending();
        changed = before != std::make_pair(position, optic);
        announced += int(heard.size());
    }

    // Every difference between the window and the model, empty when they agree.
    QStringList differences() const {
        QStringList found = midDrag;
        const auto differ = [&found](const QString& what, const QVariant& seen,
                                     const QVariant& expected) {
            if (seen != expected)
                found << QStringLiteral("%1 is \"%2\", expected \"%3\"")
                             .arg(what, seen.toString(), expected.toString());
        };
        const auto label = [&](const char* name, const QString& expected) {
            differ(name, text(w, name), expected);
        };
        for (int i = 0; i < InputCount; ++i) {
            label(kInputs[i].label, shown(i));
            differ(kInputs[i].slider, w.Control<runtime::Slider>(kInputs[i].slider).Value(),
                   position[i]);
        }
        label("FNumberText", QString::fromUtf8("ƒ = ") + fNumber());
        for (const QString& page : {QString(), QStringLiteral("1")}) {
            const auto [magnification, field, pupil] = eyepiece(page.isEmpty() ? 0 : 1);
            label(qPrintable("MagnificationText" + page), "x " + magnification);
            label(qPrintable("TFOVText" + page), field + "'");
            label(qPrintable("ExitText" + page), pupil);
        }
        // A screen reader hears one announcement per action that changed a value, whose
        // numbers are those now shown for the page in front, led by the optic's state after a
        // preset loaded with an optic in.
        const auto [magnification, field, pupil] = eyepiece(tab);
        const QString results =
            QStringLiteral("Focal ratio %1. Eyepiece %2: magnification %3, true field %4 "
                           "minutes, exit pupil %5 millimetres")
                .arg(fNumber(), QString::number(tab + 1), magnification, field, pupil);
        differ("the announcements", int(heard.size()), changed ? 1 : int(heard.size() > 0));
        for (const QString& told : heard)
            if (told != results && !told.endsWith(". " + results))
                differ("the announced results", told, results);
        if (!heard.isEmpty() && !heard.back().startsWith(lead))
            differ("the announcement's lead", heard.back(), lead + results);
#ifdef MIRAVANE_ANNOUNCEMENT_EVENTS
        differ("the announcement events", Delivered().join(" | "), heard.join(" | "));
#endif
        label("StatusText", QStringList{"", "Barlow", "R/C"}[int(optic)]);
        // An optic locks the telescope's inputs and the other optic's button.
        QStringList locks{"ApertureSlider", "ApertureUpDownArrows", "FLSlider", "FLUpDownArrows",
                          optic == Optic::Barlow ? "RCButton" : "BarlowButton"};
        locks.sort();
        differ("the locked inputs", snapshot(w).value(QStringLiteral("locked")),
               optic == Optic::None ? QString() : locks.join(','));
        differ("the checked optic", snapshot(w).value(QStringLiteral("checked")),
               QStringList{"", "BarlowButton", "RCButton"}[int(optic)]);
        differ("the beep count", beeps.count(), beepsExpected);
        differ("the tab", w.Control<runtime::TabPanel>("EyepieceTabPanel").currentIndex(), tab);
        // Taken out again, an optic leaves exactly the slider's whole value.
        differ("FocalLength", QString::number(w.FocalLength, 'g', 17),
               QString::number(value(FocalLength) * (kHundredths[int(optic)] / 100.0), 'g', 17));
        return found;
    }
};

// Whether the offscreen screen, once repaints are done, differs from a fresh paint, as it does
// where a control changed without asking for a repaint. A page in a browser draws only once the
// test hands it back to the browser, after the last action, and has no screen to grab: there
// the page's own tests (tests/browser/) compare its pictures instead.
QString StalePixels(QWidget& window) {
    QCoreApplication::processEvents();
    const QPixmap screen = window.screen()->grabWindow(window.winId());
#ifdef Q_OS_WASM
    if (screen.isNull())
        return {};
#endif
    const auto rgb = [](const QPixmap& p) {
        return p.toImage().convertToFormat(QImage::Format_RGB32);
    };
    return rgb(screen) == rgb(window.grab())
               ? QString()
               : QStringLiteral("the screen differs from a fresh paint");
}

} // namespace

class RandomUiTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowFollowsTheModel_data() {
        QTest::addColumn<quint64>("seed");
        QTest::addColumn<int>("actions");
        const QStringList ends = qEnvironmentVariable("MIRAVANE_RANDOM_SEEDS", "1-20").split('-');
        const quint64 first = ends.front().toULongLong(), last = ends.back().toULongLong();
        if (first == 0 || last < first || ends.size() > 2)
            qFatal("MIRAVANE_RANDOM_SEEDS takes a seed from 1 or a range such as 1-200");
        const int actions = qEnvironmentVariable("MIRAVANE_RANDOM_ACTIONS", "500").toInt();
        for (quint64 seed = first; seed <= last; ++seed)
            QTest::addRow("%d actions from seed %llu", actions, seed) << seed << actions;
    }

    void windowFollowsTheModel() {
        QFETCH(quint64, seed);
        QFETCH(int, actions);
        const auto window = openWindow();
        Run run{*window, std::mt19937_64(seed)};
        // Listens as a screen reader does, so that every announcement is composed and heard.
        runtime::Announcer::SetObserver(
            [&run](QWidget*, const QString& text) { run.heard << text; });
        const auto stopListening = qScopeGuard([] { runtime::Announcer::SetObserver({}); });
#ifdef MIRAVANE_ANNOUNCEMENT_EVENTS
        Delivered().clear();
        const auto previous = QAccessible::installUpdateHandler(Deliver);
        const auto restore =
            qScopeGuard([previous] { QAccessible::installUpdateHandler(previous); });
#endif
        for (int step = 0; step <= actions; ++step) {
            if (step > 0)
                run.act();
            QStringList found = run.differences();
            // A grab costs as much as a few dozen actions, so the screen is compared now and then.
            if (step % 20 == 0 || step == actions)
                found << StalePixels(*window);
            found.removeAll(QString());
            if (found.isEmpty())
                continue;
            found.prepend(
                QString::asprintf("seed %llu, after action %d of %d (replay with "
                                  "MIRAVANE_RANDOM_SEEDS=%llu MIRAVANE_RANDOM_ACTIONS=%d):",
                                  seed, step, actions, seed, step));
            for (int i = 0; i < run.log.size(); ++i)
                found << QStringLiteral("  action %1: %2").arg(i + 1).arg(run.log[i]);
            QFAIL(qPrintable(found.join('\n')));
        }
        played += actions;
        beeped += run.beepsExpected;
        announced += run.announced;
    }
    // tools/test prints this line from ctest's log, so that every run shows how much it played.
    void cleanupTestCase() {
        qInfo("%d random actions in all, %d beeps at an end, %d announcements heard", played,
              beeped, announced);
    }

private:
    int played = 0, beeped = 0, announced = 0;
};

MIRAVANE_UI_TEST_MAIN(RandomUiTest)
#include "tst_random_ui.moc"

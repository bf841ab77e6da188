// The worked examples and edge cases, each a row of actions played on the real window and the
// exact texts, slider positions, locks, page and beeps that must follow.
#include "UiTestFixture.h"

#include <QAccessible>

using namespace uitest;

class WindowTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ui::Window1> window;

    QMap<QString, QString> state(const BeepCounter& beeps) const {
        auto seen = snapshot(*window);
        seen[QStringLiteral("beeps")] = QString::number(beeps.count());
        seen[QStringLiteral("FocalLength")] = QString::number(window->FocalLength, 'g', 17);
        return seen;
    }

private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void actionsShowTheirResults_data() {
        QTest::addColumn<QString>("actions");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<bool>("restAsOpened"); // all else reads as at opening, focus aside
        // clang-format off
        QTest::newRow("an arrow held down steps once and leaves the focus where it was") << "Tab:ApertureSlider holdup:ApertureUpDownArrows" << QStringList{"ApertureText=201 mm", "ApertureSlider=151", "focus=FLSlider"} << false;
        QTest::newRow("a down arrow held down steps once too") << "Shift+Backtab:ApertureSlider holddown:AFOVUpDownArrows" << QStringList{"AFOVText=49˚", "focus=RCButton"} << false;
        QTest::newRow("the 90 mm Maksutov with a 25 mm, 52˚ eyepiece") << "Ctrl+3 up:AFOVUpDownArrows up:AFOVUpDownArrows" << QStringList{"FNumberText=ƒ = 13.9", "MagnificationText=x 50", "TFOVText=62.4'", "ExitText=1.8"} << false;
        QTest::newRow("the Barlow doubles 2000 mm") << "Barlow" << QStringList{"FocalLengthText=4000 mm", "FNumberText=ƒ = 20.0", "MagnificationText=x 160", "TFOVText=18.8'", "ExitText=1.3", "MagnificationText1=x 125", "TFOVText1=25.0'", "ExitText1=1.6", "StatusText=Barlow", "locked=ApertureSlider,ApertureUpDownArrows,FLSlider,FLUpDownArrows,RCButton", "checked=BarlowButton", "FocalLength=4000"} << true;
        QTest::newRow("the reducer takes 2000 mm to 1260 mm") << "R/C" << QStringList{"FocalLengthText=1260 mm", "FNumberText=ƒ = 6.3", "MagnificationText=x 50", "TFOVText=59.5'", "ExitText=4.0", "MagnificationText1=x 39", "TFOVText1=79.2'", "ExitText1=5.1", "StatusText=R/C", "locked=ApertureSlider,ApertureUpDownArrows,BarlowButton,FLSlider,FLUpDownArrows", "checked=RCButton", "FocalLength=1260"} << true;
        QTest::newRow("the reducer makes 787.5 mm of 1250 mm and shows 788 mm") << "Ctrl+3 R/C" << QStringList{"FocalLengthText=788 mm", "FocalLength=787.5"} << false;
        QTest::newRow("Reset restores the start-up values but keeps the page") << "up:EFUpDownArrows page2 up:AFOVUpDownArrows1 Ctrl+4 Barlow Ctrl+R" << QStringList{"page=Eyepiece 2"} << true;
        QTest::newRow("Tab goes from the telescope to the page tabs") << "Tab:ApertureSlider Tab" << QStringList{"focus=page tabs"} << false;
        QTest::newRow("Tab goes on down the page in front") << "page2 Tab:ApertureSlider Tab Tab Tab" << QStringList{"focus=EFLSlider1"} << false;
        QTest::newRow("Tab from the last slider goes on to Barlow and R/C, then round to the aperture") << "Tab:EFLSlider Tab Tab" << QStringList{"focus=ApertureSlider"} << false;
        QTest::newRow("Shift+Tab goes back over R/C and Barlow up the page in front") << "Shift+Backtab:ApertureSlider Shift+Backtab Shift+Backtab Shift+Backtab" << QStringList{"focus=AFOVSlider"} << false;
        QTest::newRow("Space on Barlow in focus puts it in, and Tab skips the locked R/C") << "Space:BarlowButton Tab" << QStringList{"StatusText=Barlow", "focus=page tabs"} << false;
        QTest::newRow("a click on Barlow that locks the slider in focus hands the focus to Barlow") << "Up:FLSlider Barlow" << QStringList{"focus=BarlowButton", "StatusText=Barlow"} << false;
        QTest::newRow("Ctrl+Tab brings the other page and its first slider forward") << "Ctrl+Tab:EFLSlider" << QStringList{"page=Eyepiece 2", "focus=AFOVSlider1"} << true;
        // clang-format on
    }

    void actionsShowTheirResults() {
        QFETCH(QString, actions);
        QFETCH(QStringList, expected);
        QFETCH(bool, restAsOpened);
        BeepCounter beeps;
        auto wanted = restAsOpened ? state(beeps) : QMap<QString, QString>();
        wanted.remove(QStringLiteral("focus")); // clicks move it; rows that care name it
        for (const auto all = actions.split(QLatin1Char(' '), Qt::SkipEmptyParts);
             const QString& action : all)
            play(*window, action);
        for (const QString& entry : expected)
            wanted[entry.section(QLatin1Char('='), 0, 0)] = entry.section(QLatin1Char('='), 1);
        const auto seen = state(beeps);
        for (auto it = wanted.cbegin(); it != wanted.cend(); ++it)
            QCOMPARE(it.key() + QLatin1Char('=') + seen.value(it.key(), QStringLiteral("<none>")),
                     it.key() + QLatin1Char('=') + it.value());
    }

    void anOpticInAndOutGivesEveryFocalLengthBackExactly() {
        // Eyepiece 1 at 4 mm, where a focal length a last bit short rounds x 227.5 down.
        play(*window, QStringLiteral("Home:EFLSlider"));
        QTest::keyClick(&window->Control<runtime::Slider>("EFLSlider"), Qt::Key_Right);
        auto& slider = window->Control<runtime::Slider>("FLSlider");
        play(*window, QStringLiteral("Home:FLSlider"));
        for (int position = 0; position <= slider.maximum(); ++position) {
            if (position > 0)
                QTest::keyClick(&slider, Qt::Key_Right);
            // The clicks move the focus off the slider that the optic locks; all else returns.
            const auto seen = [this] {
                auto all = state(BeepCounter());
                all.remove(QStringLiteral("focus"));
                return all;
            };
            const auto before = seen();
            for (const char* optic : {"R/C", "Barlow"}) {
                for (int click = 0; click < 2; ++click)
                    play(*window, QString::fromLatin1(optic));
                if (seen() != before)
                    QFAIL(qPrintable(QStringLiteral("%1 in and out at %2 leaves FocalLength %3")
                                         .arg(optic, before[QStringLiteral("FocalLengthText")])
                                         .arg(window->FocalLength, 0, 'g', 17)));
            }
        }
    }

    void aScreenReaderMovingTheFocusPressesNoButton() {
        auto& barlow = window->Control<runtime::BevelButton>("BarlowButton");
        QAccessible::queryAccessibleInterface(&barlow)->actionInterface()->doAction(
            QAccessibleActionInterface::setFocusAction());
        QCOMPARE(text(*window, "StatusText"), QString());
    }

    void missingOrMistypedControlsRaise() {
        QVERIFY_THROWS_EXCEPTION(runtime::IllegalCastException,
                                 window->Control<runtime::Slider>("ApertureText"));
        QVERIFY_THROWS_EXCEPTION(runtime::NilObjectException,
                                 window->Control<runtime::StaticText>("Missing"));
        delete &window->Control<runtime::StaticText>("ExitText"); // gone, not dangling
        QVERIFY_THROWS_EXCEPTION(runtime::NilObjectException,
                                 window->Control<runtime::StaticText>("ExitText"));
    }
};

MIRAVANE_UI_TEST_MAIN(WindowTest)
#include "tst_window.moc"

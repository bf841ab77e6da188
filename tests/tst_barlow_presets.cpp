#include "UiTestFixture.h"

#include <QRegularExpression>

using namespace uitest;

namespace {
const char* const kReadouts[] = {"FocalLengthText", "FNumberText", "MagnificationText",
                                 "TFOVText",        "ExitText",    "MagnificationText1",
                                 "TFOVText1",       "ExitText1",   "StatusText"};
const char* const kTelescopeInputs[] = {"ApertureSlider", "ApertureUpDownArrows", "FLSlider",
                                        "FLUpDownArrows"};

QStringList readouts(const ui::Window1& w) {
    QStringList texts;
    for (const char* label : kReadouts)
        texts << text(w, label);
    return texts;
}

QKeyCombination presetKey(int number) {
    return QKeyCombination(Qt::ControlModifier, Qt::Key(Qt::Key_0 + number));
}
} // namespace

class BarlowPresetsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void opticsChangeTheFocalLength_data();
    void opticsChangeTheFocalLength();
    void eachStateLocksItsControls_data();
    void eachStateLocksItsControls();
    void reducerRoundsOnlyItsTexts();

    void presetsLoadTheirTelescope_data();
    void presetsLoadTheirTelescope();
    void presetKeepsEyepiecesButResetRestoresAll();
    void presetKeepsAnOpticThatIsOn_data();
    void presetKeepsAnOpticThatIsOn();

private:
    std::unique_ptr<ui::Window1> window;
};

void BarlowPresetsTest::opticsChangeTheFocalLength_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QStringList>("whileOn");
    QTest::addColumn<double>("focalLength");
    QTest::newRow("the Barlow doubles 2000 mm")
        << "BarlowButton" << QStringList{"4000 mm", "ƒ = 20.0", "x 160", "18.8'", "1.3",
                                         "x 125",   "25.0'",    "1.6",   "Barlow"}
        << 4000.0;
    QTest::newRow("the reducer takes 2000 mm to 1260 mm")
        << "RCButton"
        << QStringList{"1260 mm", "ƒ = 6.3", "x 50", "59.5'", "4.0", "x 39", "79.2'", "5.1", "R/C"}
        << 1260.0;
}

void BarlowPresetsTest::opticsChangeTheFocalLength() {
    QFETCH(QString, button);
    QFETCH(QStringList, whileOn);
    QFETCH(double, focalLength);
    const QStringList before = readouts(*window);
    clickButton(*window, button.toUtf8());
    QCOMPARE(readouts(*window), whileOn);
    QCOMPARE(window->FocalLength, focalLength);
    QCOMPARE(value(*window, "FLSlider"), 1600);
    clickButton(*window, button.toUtf8());
    QCOMPARE(readouts(*window), before);
    QCOMPARE(window->FocalLength, 2000.0);
}

void BarlowPresetsTest::eachStateLocksItsControls_data() {
    QTest::addColumn<QStringList>("presses");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QStringList>("disabled");
    const QStringList telescope{"ApertureSlider", "ApertureUpDownArrows", "FLSlider",
                                "FLUpDownArrows"};
    QTest::newRow("with no optic nothing is locked") << QStringList{} << "" << QStringList{};
    QTest::newRow("the Barlow locks the telescope and the reducer")
        << QStringList{"BarlowButton"} << "Barlow" << telescope + QStringList{"RCButton"};
    QTest::newRow("the reducer locks the telescope and the Barlow")
        << QStringList{"RCButton"} << "R/C" << telescope + QStringList{"BarlowButton"};
    QTest::newRow("a click on the locked button changes nothing")
        << QStringList{"BarlowButton", "RCButton"} << "Barlow"
        << telescope + QStringList{"RCButton"};
    QTest::newRow("the Barlow off unlocks everything")
        << QStringList{"BarlowButton", "BarlowButton"} << "" << QStringList{};
}

void BarlowPresetsTest::eachStateLocksItsControls() {
    QFETCH(QStringList, presses);
    QFETCH(QString, status);
    QFETCH(QStringList, disabled);
    for (const QString& button : presses)
        clickButton(*window, button.toUtf8());
    QCOMPARE(text(*window, "StatusText"), status);
    QStringList disabledNow;
    for (const QString& line : snapshot(*window))
        if (line.endsWith(QLatin1String(" disabled")))
            disabledNow << line.chopped(9);
    disabled.sort();
    QCOMPARE(disabledNow, disabled);
    for (const QString& name : disabled) // locked, yet still in place
        QVERIFY(window->Control<QWidget>(name.toStdString()).isVisible());

    // A locked arrow ignores the user's click.
    BeepCounter beeps;
    clickArrow(*window, "FLUpDownArrows", true);
    QCOMPARE(value(*window, "FLSlider"), disabled.isEmpty() ? 1601 : 1600);
    QCOMPARE(beeps.count(), 0);
}

// The reducer's product need not be whole: only the texts are rounded, never the value.
void BarlowPresetsTest::reducerRoundsOnlyItsTexts() {
    pressKeys(*window, presetKey(3)); // 1250 mm
    clickButton(*window, "RCButton");
    QCOMPARE(window->FocalLength, 787.5);
    QCOMPARE(text(*window, "FocalLengthText"), QStringLiteral("788 mm"));
    clickButton(*window, "RCButton");

    sliderKey(*window, "FLSlider", Qt::Key_Home);
    sliderKey(*window, "FLSlider", Qt::Key_Right); // 401 mm
    const QStringList before = readouts(*window);
    clickButton(*window, "RCButton");
    clickButton(*window, "RCButton");
    QCOMPARE(readouts(*window), before);
    QVERIFY(qAbs(window->FocalLength - 401.0) < 1e-12);
    sliderKey(*window, "FLSlider", Qt::Key_Left); // the input gives a whole value again
    QCOMPARE(window->FocalLength, 400.0);
}

void BarlowPresetsTest::presetsLoadTheirTelescope_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QStringList>("telescope");
    // clang-format off
    QTest::newRow("Ctrl+1 loads the 76 mm apochromat") << 1 << QStringList{"ApertureSlider=26", "ApertureText=76 mm", "FLSlider=80", "FNumberText=ƒ = 6.3", "FocalLengthText=480 mm"};
    QTest::newRow("Ctrl+2 loads the 80 mm achromat") << 2 << QStringList{"ApertureSlider=30", "ApertureText=80 mm", "FLSlider=500", "FNumberText=ƒ = 11.3", "FocalLengthText=900 mm"};
    QTest::newRow("Ctrl+3 loads the 90 mm Maksutov") << 3 << QStringList{"ApertureSlider=40", "ApertureText=90 mm", "FLSlider=850", "FNumberText=ƒ = 13.9", "FocalLengthText=1250 mm"};
    QTest::newRow("Ctrl+4 loads the 102 mm achromat") << 4 << QStringList{"ApertureSlider=52", "ApertureText=102 mm", "FLSlider=600", "FNumberText=ƒ = 9.8", "FocalLengthText=1000 mm"};
    QTest::newRow("Ctrl+5 loads the 114 mm Newtonian") << 5 << QStringList{"ApertureSlider=64", "ApertureText=114 mm", "FLSlider=510", "FNumberText=ƒ = 8.0", "FocalLengthText=910 mm"};
    QTest::newRow("Ctrl+6 loads the wide 150 mm Newtonian") << 6 << QStringList{"ApertureSlider=100", "ApertureText=150 mm", "FLSlider=800", "FNumberText=ƒ = 8.0", "FocalLengthText=1200 mm"};
    QTest::newRow("Ctrl+7 loads the long 150 mm Newtonian") << 7 << QStringList{"ApertureSlider=100", "ApertureText=150 mm", "FLSlider=350", "FNumberText=ƒ = 5.0", "FocalLengthText=750 mm"};
    QTest::newRow("Ctrl+8 loads the 200 mm SCT") << 8 << QStringList{"ApertureSlider=150", "ApertureText=200 mm", "FLSlider=1600", "FNumberText=ƒ = 10.0", "FocalLengthText=2000 mm"};
    QTest::newRow("Ctrl+9 loads the 235 mm SCT") << 9 << QStringList{"ApertureSlider=185", "ApertureText=235 mm", "FLSlider=1950", "FNumberText=ƒ = 10.0", "FocalLengthText=2350 mm"};
    // clang-format on
}

void BarlowPresetsTest::presetsLoadTheirTelescope() {
    QFETCH(int, key);
    QFETCH(QStringList, telescope);
    window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    const QStringList before = snapshot(*window);
    pressKeys(*window, presetKey(key));
    const QStringList after = snapshot(*window);

    // The telescope and the eyepiece read-outs follow; eyepieces, tab and optics stay.
    QStringList changedTelescope;
    for (const QString& line : after) {
        if (before.contains(line))
            continue;
        static const QRegularExpression eyepieceReadout(
            QStringLiteral("^(Magnification|TFOV|Exit)Text1?="));
        if (!eyepieceReadout.match(line).hasMatch()) // checked below against the new telescope
            changedTelescope << line;
    }
    for (const QString& line : telescope)
        QVERIFY2(after.contains(line), qPrintable(line));
    for (const QString& line : changedTelescope)
        QVERIFY2(telescope.contains(line), qPrintable(line));
    const double magnification = window->FocalLength / window->EFL1;
    QCOMPARE(window->Magnification1, magnification);

    pressKeys(*window, presetKey(key));
    QCOMPARE(snapshot(*window), after);
}

void BarlowPresetsTest::presetKeepsEyepiecesButResetRestoresAll() {
    const QStringList opened = snapshot(*window);
    clickArrow(*window, "EFUpDownArrows", true);
    clickArrow(*window, "AFOVUpDownArrows", false);
    auto& tabs = window->Control<runtime::TabPanel>("EyepieceTabPanel");
    tabs.setCurrentIndex(1);
    clickArrow(*window, "EFUpDownArrows1", false);
    clickButton(*window, "BarlowButton");

    pressKeys(*window, presetKey(8));
    QCOMPARE(text(*window, "EFLText"), QStringLiteral("26 mm"));
    QCOMPARE(text(*window, "AFOVText"), QStringLiteral("49˚"));
    QCOMPARE(text(*window, "EFLText1"), QStringLiteral("31 mm"));
    QCOMPARE(text(*window, "StatusText"), QStringLiteral("Barlow"));
    QCOMPARE(text(*window, "FocalLengthText"), QStringLiteral("4000 mm"));

    pressKeys(*window, QKeyCombination(Qt::ControlModifier, Qt::Key_R));
    QCOMPARE(tabs.currentIndex(), 1);
    tabs.setCurrentIndex(0);
    QCOMPARE(snapshot(*window), opened);
    QCOMPARE(window->FocalLength, 2000.0);
    QCOMPARE(window->BarlowConstant, std::string("Normal"));
}

void BarlowPresetsTest::presetKeepsAnOpticThatIsOn_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("whileOn");
    QTest::newRow("the Barlow stays on over the 76 mm apochromat")
        << "BarlowButton" << 1 << "960 mm";
    QTest::newRow("the Barlow stays on over the 235 mm SCT") << "BarlowButton" << 9 << "4700 mm";
    QTest::newRow("the reducer stays on over the 90 mm Maksutov") << "RCButton" << 3 << "788 mm";
    QTest::newRow("the reducer stays on over the 114 mm Newtonian") << "RCButton" << 5 << "573 mm";
}

void BarlowPresetsTest::presetKeepsAnOpticThatIsOn() {
    QFETCH(QString, button);
    QFETCH(int, key);
    QFETCH(QString, whileOn);
    // What the preset shows with no optic, from a window of its own.
    pressKeys(*window, presetKey(key));
    const QStringList plain = snapshot(*window);
    const double focalLength = window->FocalLength;
    pressKeys(*window, QKeyCombination(Qt::ControlModifier, Qt::Key_R));

    clickButton(*window, button.toUtf8());
    const QString status = text(*window, "StatusText");
    pressKeys(*window, presetKey(key));
    QCOMPARE(text(*window, "FocalLengthText"), whileOn);
    QCOMPARE(text(*window, "StatusText"), status);
    for (const char* name : kTelescopeInputs)
        QVERIFY(!window->Control<QWidget>(name).isEnabled());
    const double magnification = window->FocalLength / window->EFL;
    QCOMPARE(window->Magnification, magnification);

    clickButton(*window, button.toUtf8());
    QCOMPARE(snapshot(*window), plain);
    QVERIFY(qAbs(window->FocalLength - focalLength) <= focalLength * 1e-15);
}

MIRAVANE_UI_TEST_MAIN(BarlowPresetsTest)
#include "tst_barlow_presets.moc"

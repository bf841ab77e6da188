#include "UiTestFixture.h"

#include <QMenu>
#include <QMenuBar>

using namespace uitest;

class WindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void opensWithTheStartUpState();
    void inputsRunBetweenTheirBounds_data();
    void inputsRunBetweenTheirBounds();
    void draggingASliderUpdatesAsItGoes();
    void inputsUpdateTheEyepiecesTheyFeed();
    void menuBarHoldsTheCommandTree();
    void missingOrMistypedControlsRaise();

private:
    std::unique_ptr<ui::Window1> window;
};

void WindowTest::opensWithTheStartUpState() {
    // clang-format off
    QStringList expected{
        "ApertureText=200 mm", "FocalLengthText=2000 mm", "EFLText=25 mm", "AFOVText=50˚",
        "EFLText1=32 mm", "AFOVText1=52˚", "FNumberText=ƒ = 10.0", "StatusText=",
        "MagnificationText=x 80", "TFOVText=37.5'", "ExitText=2.5",
        "MagnificationText1=x 63", "TFOVText1=49.9'", "ExitText1=3.2",
        "StaticText1=Telescope", "StaticText4=Aperture:", "StaticText5=Focal length:",
        "StaticText6=AFOV:", "StaticText7=AFOV:", "StaticText8=Magnification:",
        "StaticText9=True field of view:", "StaticText10=Exit pupil:", "StaticText11=Focal length:",
        "StaticText12=Magnification:", "StaticText13=True field of view:",
        "StaticText14=Exit pupil:", "StaticText15=Focal length:",
        "ApertureSlider=150", "FLSlider=1600", "EFLSlider=22", "AFOVSlider=50",
        "EFLSlider1=29", "AFOVSlider1=52", "tab=0"};
    // clang-format on
    expected.sort();
    QCOMPARE(snapshot(*window), expected); // also: nothing disabled
    // The degree mark is the ring above, U+02DA, not U+00B0.
    QCOMPARE(text(*window, "AFOVText").back(), QChar(0x02DA));
    QVERIFY(!window->Control<QWidget>("AFOVSlider1").isVisible());
}

void WindowTest::inputsRunBetweenTheirBounds_data() {
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QString>("arrows");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("top");
    QTest::addColumn<QString>("atBottom");
    QTest::addColumn<QString>("atTop");
    // clang-format off
    QTest::newRow("aperture runs from 50 to 400 mm") << "ApertureSlider" << "ApertureUpDownArrows" << "ApertureText" << 350 << "50 mm" << "400 mm";
    QTest::newRow("focal length runs from 400 to 3000 mm") << "FLSlider" << "FLUpDownArrows" << "FocalLengthText" << 2600 << "400 mm" << "3000 mm";
    QTest::newRow("eyepiece 1 runs from 3 to 55 mm") << "EFLSlider" << "EFUpDownArrows" << "EFLText" << 52 << "3 mm" << "55 mm";
    QTest::newRow("eyepiece 1 field runs from 0 to 90 degrees") << "AFOVSlider" << "AFOVUpDownArrows" << "AFOVText" << 90 << "0˚" << "90˚";
    QTest::newRow("eyepiece 2 runs from 3 to 55 mm") << "EFLSlider1" << "EFUpDownArrows1" << "EFLText1" << 52 << "3 mm" << "55 mm";
    QTest::newRow("eyepiece 2 field runs from 0 to 90 degrees") << "AFOVSlider1" << "AFOVUpDownArrows1" << "AFOVText1" << 90 << "0˚" << "90˚";
    // clang-format on
}

void WindowTest::inputsRunBetweenTheirBounds() {
    QFETCH(QString, slider);
    QFETCH(QString, arrows);
    QFETCH(QString, label);
    QFETCH(int, top);
    QFETCH(QString, atBottom);
    QFETCH(QString, atTop);
    const QByteArray s = slider.toUtf8(), a = arrows.toUtf8(), l = label.toUtf8();
    if (slider.endsWith(QLatin1Char('1')))
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    BeepCounter beeps;

    sliderKey(*window, s, Qt::Key_Home);
    QCOMPARE(text(*window, l), atBottom);
    QStringList before = snapshot(*window);
    clickArrow(*window, a, false); // refused at the bottom
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(snapshot(*window), before);
    clickArrow(*window, a, true);
    sliderKey(*window, s, Qt::Key_PageUp);
    QCOMPARE(value(*window, s), 21);

    sliderKey(*window, s, Qt::Key_End);
    QCOMPARE(text(*window, l), atTop);
    before = snapshot(*window);
    clickArrow(*window, a, true); // refused at the top
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(snapshot(*window), before);
    clickArrow(*window, a, false);
    QCOMPARE(value(*window, s), top - 1);
    clickArrow(*window, a, true); // one below the top reaches it
    QCOMPARE(value(*window, s), top);
    QCOMPARE(text(*window, l), atTop);
    QCOMPARE(beeps.count(), 2);
}

void WindowTest::draggingASliderUpdatesAsItGoes() {
    auto& slider = window->Control<runtime::Slider>("FLSlider");
    QStringList seen;
    connect(&slider, &runtime::Slider::ValueChanged, this,
            [&] { seen << text(*window, "FocalLengthText"); });
    const int y = slider.height() / 2;
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(slider.width() * 1600 / 2600, y));
    for (int x = slider.width() * 1600 / 2600; x <= slider.width() + 20; x += 40)
        QTest::mouseMove(&slider, QPoint(x, y));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.width() + 20, y));
    QVERIFY2(seen.size() > 3, qPrintable(seen.join(QLatin1Char(','))));
    QCOMPARE(seen.back(), QStringLiteral("3000 mm"));
    QCOMPARE(text(*window, "MagnificationText"), QStringLiteral("x 120"));
}

void WindowTest::inputsUpdateTheEyepiecesTheyFeed() {
    clickArrow(*window, "FLUpDownArrows", false);
    QCOMPARE(text(*window, "FocalLengthText"), QStringLiteral("1999 mm"));
    QCOMPARE(text(*window, "MagnificationText1"), QStringLiteral("x 62")); // on the hidden tab
    sliderKey(*window, "ApertureSlider", Qt::Key_Home);
    QCOMPARE(text(*window, "FNumberText"), QStringLiteral("ƒ = 40.0"));
    QCOMPARE(text(*window, "ExitText"), QStringLiteral("0.6"));
    QCOMPARE(text(*window, "ExitText1"), QStringLiteral("0.8"));

    // An eyepiece input changes its own eyepiece only.
    const QString second = text(*window, "MagnificationText1");
    clickArrow(*window, "EFUpDownArrows", true);
    QCOMPARE(text(*window, "MagnificationText"), QStringLiteral("x 77"));
    QCOMPARE(text(*window, "TFOVText"), QStringLiteral("39.0'"));
    QCOMPARE(text(*window, "MagnificationText1"), second);
    window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    sliderKey(*window, "AFOVSlider1", Qt::Key_Home);
    QCOMPARE(text(*window, "TFOVText1"), QStringLiteral("0.0'"));
    QCOMPARE(text(*window, "TFOVText"), QStringLiteral("39.0'"));
}

void WindowTest::menuBarHoldsTheCommandTree() {
    runtime::MenuBar* bar = window->GetMenuBar();
    QCOMPARE(bar, static_cast<runtime::MenuBar*>(&::MenuBar1()));
    QStringList seen;
    for (const auto& menu : bar->Children()) {
        QVERIFY(menu->AutoEnable);
        seen << QString::fromStdString(menu->Name + ' ' + menu->Text);
        for (const auto& item : menu->Children()) {
            QVERIFY(item->AutoEnable);
            seen << QString::fromStdString("  " + item->Name + ' ' + item->Text + '|' +
                                           item->KeyboardShortcut);
        }
    }
    // clang-format off
    QCOMPARE(seen, QStringList({
        "FileMenu &File", "  FileQuit Quit|Cmd+Q", "EditMenu &Edit", "  ResetMenu Reset|Cmd+R",
        "TelescopeMenu Telescope", "  TV76Menu 76 mm Apochromat|Cmd+1",
        "  EightyMenu 80 mm Achromat|Cmd+2", "  ETXMenu ETX 90 Maksutov|Cmd+3",
        "  OneOhTwoMenu 102 mm Achromat|Cmd+4", "  FirstscopeMenu 114 mm Newt|Cmd+5",
        "  SixInchLongMenu 150 mm Newt (Wide)|Cmd+6", "  SixInchMenu 150 mm Newt (Long)|Cmd+7",
        "  LX90Menu 200 mm SCT|Cmd+8", "  NineInchMenu 235 mm SCT|Cmd+9"}));
    // clang-format on
    QCOMPARE(&window->TV76Menu(), bar->Child("TelescopeMenu")->Child("TV76Menu"));
    QCOMPARE(window->FileQuit().Text, std::string("Quit"));

    // What the user sees: Qt menus, with Ctrl standing for Cmd off macOS.
    const QList<QAction*> menus = window->menuBar()->actions();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->menu()->actions().front()->shortcut(), QKeySequence("Ctrl+Q"));
    QCOMPARE(menus[2]->menu()->actions()[5]->text(), QStringLiteral("150 mm Newt (Wide)"));
    QCOMPARE(menus[2]->menu()->actions()[5]->shortcut(), QKeySequence("Ctrl+6"));
}

void WindowTest::missingOrMistypedControlsRaise() {
    QVERIFY_THROWS_EXCEPTION(runtime::IllegalCastException,
                             window->Control<runtime::Slider>("ApertureText"));
    try {
        window->Control<runtime::StaticText>("Missing");
        QFAIL("no exception");
    } catch (const runtime::NilObjectException& e) {
        QVERIFY(QString::fromUtf8(e.what()).contains(QStringLiteral("\"Missing\"")));
    }
    // A label that has gone away is missing, not dangling.
    delete &window->Control<runtime::StaticText>("ExitText");
    QVERIFY_THROWS_EXCEPTION(runtime::NilObjectException,
                             window->Control<runtime::StaticText>("ExitText"));
}

MIRAVANE_UI_TEST_MAIN(WindowTest)
#include "tst_window.moc"

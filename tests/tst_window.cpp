#include "UiTestFixture.h"

#include <QMenu>
#include <QMenuBar>
#include <QSet>

using namespace uitest;

class WindowTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void opensWithTheStartUpTexts_data();
    void opensWithTheStartUpTexts();
    void opensWithTheStartUpSlidersAndFirstTab();

    void slidersReachTheirEndsFromTheKeyboard_data();
    void slidersReachTheirEndsFromTheKeyboard();
    void stepArrowsStopWithABeepAtTheBounds_data();
    void stepArrowsStopWithABeepAtTheBounds();
    void draggingASliderUpdatesAsItGoes();
    void telescopeChangesUpdateBothEyepieces();
    void eyepieceChangesUpdateOnlyTheirOwnEyepiece();

    void controlsSitAtTheirDesignRectangles_data();
    void controlsSitAtTheirDesignRectangles();
    void windowHasAFixedSize();
    void labelsHoldTheLongestTextTheyShow_data();
    void labelsHoldTheLongestTextTheyShow();

    void menuBarHoldsTheCommandTree();
    void missingOrMistypedControlsRaise();

private:
    std::unique_ptr<ui::Window1> window;
};

void WindowTest::opensWithTheStartUpTexts_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("expected");
    const char* const rows[][2] = {
        {"ApertureText", "200 mm"},
        {"FocalLengthText", "2000 mm"},
        {"EFLText", "25 mm"},
        {"AFOVText", "50˚"},
        {"EFLText1", "32 mm"},
        {"AFOVText1", "52˚"},
        {"FNumberText", "ƒ = 10.0"},
        {"StatusText", ""},
        {"MagnificationText", "x 80"},
        {"TFOVText", "37.5'"},
        {"ExitText", "2.5"},
        {"MagnificationText1", "x 63"},
        {"TFOVText1", "49.9'"},
        {"ExitText1", "3.2"},
        {"StaticText1", "Telescope"},
        {"StaticText4", "Aperture:"},
        {"StaticText5", "Focal length:"},
        {"StaticText6", "AFOV:"},
        {"StaticText7", "AFOV:"},
        {"StaticText8", "Magnification:"},
        {"StaticText9", "True field of view:"},
        {"StaticText10", "Exit pupil:"},
        {"StaticText11", "Focal length:"},
        {"StaticText12", "Magnification:"},
        {"StaticText13", "True field of view:"},
        {"StaticText14", "Exit pupil:"},
        {"StaticText15", "Focal length:"},
    };
    for (const auto& row : rows)
        QTest::addRow("%s reads \"%s\"", row[0], row[1])
            << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
}

void WindowTest::opensWithTheStartUpTexts() {
    QFETCH(QString, label);
    QFETCH(QString, expected);
    QCOMPARE(text(*window, label.toUtf8().constData()), expected);
}

void WindowTest::opensWithTheStartUpSlidersAndFirstTab() {
    // The ring above (U+02DA) is the degree sign here, not U+00B0.
    QCOMPARE(text(*window, "AFOVText").back(), QChar(0x02DA));
    QCOMPARE(text(*window, "FNumberText").front(), QChar(0x0192));
    const std::pair<const char*, int> sliders[] = {{"ApertureSlider", 150}, {"FLSlider", 1600},
                                                   {"EFLSlider", 22},       {"AFOVSlider", 50},
                                                   {"EFLSlider1", 29},      {"AFOVSlider1", 52}};
    for (const auto& [name, expected] : sliders)
        QCOMPARE(value(*window, name), expected);
    QCOMPARE(window->Control<runtime::TabPanel>("EyepieceTabPanel").currentIndex(), 0);
    QVERIFY(window->Control<QWidget>("AFOVSlider").isVisible());
    QVERIFY(!window->Control<QWidget>("AFOVSlider1").isVisible());
    QCOMPARE(window->BarlowConstant, std::string("Normal"));
    QCOMPARE(window->RCConstant, std::string("Normal"));
}

void WindowTest::slidersReachTheirEndsFromTheKeyboard_data() {
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("atBottom");
    QTest::addColumn<QString>("atTop");
    QTest::newRow("aperture runs from 50 to 400 mm") << "ApertureSlider"
                                                     << "ApertureText"
                                                     << "50 mm"
                                                     << "400 mm";
    QTest::newRow("focal length runs from 400 to 3000 mm") << "FLSlider"
                                                           << "FocalLengthText"
                                                           << "400 mm"
                                                           << "3000 mm";
    QTest::newRow("eyepiece 1 focal length runs from 3 to 55 mm") << "EFLSlider"
                                                                  << "EFLText"
                                                                  << "3 mm"
                                                                  << "55 mm";
    QTest::newRow("eyepiece 1 field runs from 0 to 90 degrees") << "AFOVSlider"
                                                                << "AFOVText"
                                                                << "0˚"
                                                                << "90˚";
    QTest::newRow("eyepiece 2 focal length runs from 3 to 55 mm") << "EFLSlider1"
                                                                  << "EFLText1"
                                                                  << "3 mm"
                                                                  << "55 mm";
    QTest::newRow("eyepiece 2 field runs from 0 to 90 degrees") << "AFOVSlider1"
                                                                << "AFOVText1"
                                                                << "0˚"
                                                                << "90˚";
}

void WindowTest::slidersReachTheirEndsFromTheKeyboard() {
    QFETCH(QString, slider);
    QFETCH(QString, label);
    QFETCH(QString, atBottom);
    QFETCH(QString, atTop);
    const QByteArray s = slider.toUtf8(), l = label.toUtf8();
    if (slider.endsWith(QLatin1Char('1')))
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);

    sliderKey(*window, s, Qt::Key_Home);
    QCOMPARE(text(*window, l), atBottom);
    sliderKey(*window, s, Qt::Key_PageUp);
    QCOMPARE(value(*window, s), 20);
    sliderKey(*window, s, Qt::Key_Right);
    QCOMPARE(value(*window, s), 21);
    sliderKey(*window, s, Qt::Key_End);
    QCOMPARE(text(*window, l), atTop);
}

void WindowTest::stepArrowsStopWithABeepAtTheBounds_data() {
    QTest::addColumn<QString>("arrows");
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("top");
    QTest::newRow("aperture arrows stop at 0 and 350") << "ApertureUpDownArrows"
                                                       << "ApertureSlider"
                                                       << "ApertureText" << 350;
    QTest::newRow("focal length arrows stop at 0 and 2600") << "FLUpDownArrows"
                                                            << "FLSlider"
                                                            << "FocalLengthText" << 2600;
    QTest::newRow("eyepiece 1 focal length arrows stop at 0 and 52") << "EFUpDownArrows"
                                                                     << "EFLSlider"
                                                                     << "EFLText" << 52;
    QTest::newRow("eyepiece 1 field arrows stop at 0 and 90") << "AFOVUpDownArrows"
                                                              << "AFOVSlider"
                                                              << "AFOVText" << 90;
    QTest::newRow("eyepiece 2 focal length arrows stop at 0 and 52") << "EFUpDownArrows1"
                                                                     << "EFLSlider1"
                                                                     << "EFLText1" << 52;
    QTest::newRow("eyepiece 2 field arrows stop at 0 and 90") << "AFOVUpDownArrows1"
                                                              << "AFOVSlider1"
                                                              << "AFOVText1" << 90;
}

void WindowTest::stepArrowsStopWithABeepAtTheBounds() {
    QFETCH(QString, arrows);
    QFETCH(QString, slider);
    QFETCH(QString, label);
    QFETCH(int, top);
    const QByteArray a = arrows.toUtf8(), s = slider.toUtf8(), l = label.toUtf8();
    if (slider.endsWith(QLatin1Char('1')))
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    BeepCounter beeps;

    auto snapshot = [&] {
        QStringList texts;
        for (const char* name : {"FNumberText", "MagnificationText", "TFOVText", "ExitText",
                                 "MagnificationText1", "TFOVText1", "ExitText1"})
            texts << text(*window, name);
        return texts << text(*window, l) << QString::number(value(*window, s));
    };

    sliderKey(*window, s, Qt::Key_Home);
    const QStringList atBottom = snapshot();
    clickArrow(*window, a, false);
    QCOMPARE(beeps.count(), 1);
    QCOMPARE(snapshot(), atBottom);
    clickArrow(*window, a, true);
    QCOMPARE(value(*window, s), 1);
    QCOMPARE(beeps.count(), 1);

    sliderKey(*window, s, Qt::Key_End);
    sliderKey(*window, s, Qt::Key_Left);
    QCOMPARE(value(*window, s), top - 1);
    clickArrow(*window, a, true);
    QCOMPARE(value(*window, s), top);
    QCOMPARE(beeps.count(), 1);
    const QStringList atTop = snapshot();
    clickArrow(*window, a, true);
    QCOMPARE(beeps.count(), 2);
    QCOMPARE(snapshot(), atTop);
    clickArrow(*window, a, false);
    QCOMPARE(value(*window, s), top - 1);
}

void WindowTest::draggingASliderUpdatesAsItGoes() {
    auto& slider = window->Control<runtime::Slider>("FLSlider");
    QStringList seen;
    connect(&slider, &runtime::Slider::ValueChanged, this,
            [&] { seen << text(*window, "FocalLengthText"); });
    const QPoint handleAt(slider.width() * 1600 / 2600, slider.height() / 2);
    QTest::mousePress(&slider, Qt::LeftButton, {}, handleAt);
    for (int x = handleAt.x(); x <= slider.width(); x += 40)
        QTest::mouseMove(&slider, QPoint(x, handleAt.y()));
    QTest::mouseMove(&slider, QPoint(slider.width() + 20, handleAt.y()));
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(slider.width() + 20, handleAt.y()));
    QVERIFY2(seen.size() > 3, qPrintable(seen.join(QLatin1Char(','))));
    QCOMPARE(seen.back(), QStringLiteral("3000 mm"));
    QCOMPARE(text(*window, "FocalLengthText"), QStringLiteral("3000 mm"));
    QCOMPARE(text(*window, "MagnificationText"), QStringLiteral("x 120"));
}

void WindowTest::telescopeChangesUpdateBothEyepieces() {
    clickArrow(*window, "FLUpDownArrows", false);
    QCOMPARE(text(*window, "FocalLengthText"), QStringLiteral("1999 mm"));
    QCOMPARE(text(*window, "TFOVText"), QStringLiteral("37.5'"));
    QCOMPARE(text(*window, "MagnificationText1"), QStringLiteral("x 62")); // on the hidden tab
    sliderKey(*window, "ApertureSlider", Qt::Key_Home);
    QCOMPARE(text(*window, "FNumberText"), QStringLiteral("ƒ = 40.0"));
    QCOMPARE(text(*window, "ExitText"), QStringLiteral("0.6"));
    QCOMPARE(text(*window, "ExitText1"), QStringLiteral("0.8"));
}

void WindowTest::eyepieceChangesUpdateOnlyTheirOwnEyepiece() {
    const QString second = text(*window, "MagnificationText1");
    clickArrow(*window, "EFUpDownArrows", true);
    QCOMPARE(text(*window, "EFLText"), QStringLiteral("26 mm"));
    QCOMPARE(text(*window, "MagnificationText"), QStringLiteral("x 77"));
    QCOMPARE(text(*window, "MagnificationText1"), second);
    QCOMPARE(window->Magnification1, 62.5);

    window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    sliderKey(*window, "AFOVSlider1", Qt::Key_Home);
    QCOMPARE(text(*window, "AFOVText1"), QStringLiteral("0˚"));
    QCOMPARE(text(*window, "TFOVText1"), QStringLiteral("0.0'"));
    QCOMPARE(text(*window, "TFOVText"), QStringLiteral("39.0'"));
}

void WindowTest::controlsSitAtTheirDesignRectangles_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("rect");
    QTest::addColumn<int>("tab");
    struct Row {
        const char* name;
        int left, top, width, height;
        int tab;
    };
    const Row rows[] = {
        {"Placard1", 117, 14, 600, 78, -1},
        {"ApertureSlider", 301, 31, 381, 16, -1},
        {"ApertureText", 220, 24, 83, 20, -1},
        {"StaticText4", 132, 24, 82, 20, -1},
        {"FLSlider", 301, 63, 381, 16, -1},
        {"FocalLengthText", 220, 56, 83, 20, -1},
        {"StaticText5", 132, 56, 82, 20, -1},
        {"ApertureUpDownArrows", 694, 25, 13, 23, -1},
        {"FLUpDownArrows", 694, 57, 13, 23, -1},
        {"StaticText1", 20, 14, 85, 20, -1},
        {"FNumberText", 20, 36, 85, 20, -1},
        {"BarlowButton", 521, 274, 92, 22, -1},
        {"RCButton", 625, 274, 92, 22, -1},
        {"StatusText", 20, 56, 85, 20, -1},
        {"EyepieceTabPanel", 117, 103, 600, 159, -1},
        {"MagnificationText", 248, 228, 57, 20, 0},
        {"StaticText8", 140, 228, 96, 20, 0},
        {"TFOVText", 458, 228, 43, 20, 0},
        {"StaticText9", 317, 228, 123, 20, 0},
        {"ExitText", 621, 228, 74, 20, 0},
        {"StaticText10", 513, 228, 96, 20, 0},
        {"StaticText6", 126, 143, 82, 20, 0},
        {"EFLText", 220, 175, 81, 20, 0},
        {"StaticText11", 126, 175, 82, 20, 0},
        {"AFOVText", 220, 143, 83, 20, 0},
        {"EFUpDownArrows", 694, 176, 13, 23, 0},
        {"EFLSlider", 301, 182, 381, 16, 0},
        {"AFOVSlider", 301, 150, 381, 16, 0},
        {"AFOVUpDownArrows", 694, 144, 13, 23, 0},
        {"MagnificationText1", 248, 228, 57, 20, 1},
        {"StaticText12", 140, 228, 96, 20, 1},
        {"TFOVText1", 458, 228, 43, 20, 1},
        {"StaticText13", 317, 228, 123, 20, 1},
        {"ExitText1", 621, 228, 74, 20, 1},
        {"StaticText14", 513, 228, 96, 20, 1},
        {"StaticText7", 126, 143, 82, 20, 1},
        {"EFLText1", 220, 175, 81, 20, 1},
        {"StaticText15", 126, 175, 82, 20, 1},
        {"AFOVText1", 220, 143, 83, 20, 1},
        {"EFUpDownArrows1", 694, 176, 13, 23, 1},
        {"EFLSlider1", 301, 182, 381, 16, 1},
        {"AFOVSlider1", 301, 150, 381, 16, 1},
        {"AFOVUpDownArrows1", 694, 144, 13, 23, 1},
    };
    for (const Row& row : rows)
        QTest::addRow("%s at %d,%d", row.name, row.left, row.top)
            << QString::fromLatin1(row.name) << QRect(row.left, row.top, row.width, row.height)
            << row.tab;
}

void WindowTest::controlsSitAtTheirDesignRectangles() {
    QFETCH(QString, name);
    QFETCH(QRect, rect);
    QFETCH(int, tab);
    if (tab >= 0)
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(tab);
    auto& control = window->Control<QWidget>(name.toStdString());
    QVERIFY(control.isVisible());
    const QPoint topLeft = control.mapTo(window->Content(), QPoint(0, 0));
    QCOMPARE(QRect(topLeft, control.size()), rect);
}

void WindowTest::windowHasAFixedSize() {
    QCOMPARE(window->Content()->size(), QSize(737, 316));
    QCOMPARE(window->windowTitle(), QStringLiteral("Miravane"));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
    QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
    const QSize before = window->size();
    window->resize(before + QSize(100, 100));
    QCOMPARE(window->size(), before);
}

void WindowTest::labelsHoldTheLongestTextTheyShow_data() {
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("longest");
    // Read-outs at their widest: 50 mm aperture, 6000 mm (Barlow on 3000 mm), a 3 mm or
    // 55 mm eyepiece with a 90 degree field under the reducer at 400 mm.
    const char* const rows[][2] = {
        {"ApertureText", "000 mm"},
        {"FocalLengthText", "0000 mm"},
        {"StaticText4", "Aperture:"},
        {"StaticText5", "Focal length:"},
        {"StaticText1", "Telescope"},
        {"FNumberText", "ƒ = 120.0"},
        {"StatusText", "Barlow"},
        {"MagnificationText", "x 2000"},
        {"StaticText8", "Magnification:"},
        {"TFOVText", "1178.6'"},
        {"StaticText9", "True field of view:"},
        {"ExitText", "00.00 mm"},
        {"StaticText10", "Exit pupil:"},
        {"StaticText6", "AFOV:"},
        {"EFLText", "55 mm"},
        {"StaticText11", "Focal length:"},
        {"AFOVText", "90˚"},
    };
    for (const auto& row : rows)
        QTest::addRow("%s fits \"%s\"", row[0], row[1])
            << QString::fromUtf8(row[0]) << QString::fromUtf8(row[1]);
}

void WindowTest::labelsHoldTheLongestTextTheyShow() {
    QFETCH(QString, label);
    QFETCH(QString, longest);
    auto& control = window->Control<runtime::StaticText>(label.toStdString());
    QCOMPARE(QFontInfo(control.font()).family(), QStringLiteral("DejaVu Sans"));
    const int needed = control.fontMetrics().horizontalAdvance(longest);
    const int room = control.contentsRect().width();
    if (label == QLatin1String("TFOVText"))
        QEXPECT_FAIL("",
                     "a true field over 1000' (a wide eyepiece under the reducer) is wider "
                     "than the fixed 43-pixel read-out",
                     Continue);
    QVERIFY2(needed <= room,
             qPrintable(QStringLiteral("needs %1 px, has %2").arg(needed).arg(room)));
}

void WindowTest::menuBarHoldsTheCommandTree() {
    runtime::MenuBar* bar = window->GetMenuBar();
    QCOMPARE(bar, static_cast<runtime::MenuBar*>(&::MenuBar1()));
    QCOMPARE(&::MenuBar1(), &::MenuBar1());

    QStringList seen;
    QSet<QString> names;
    for (const auto& menu : bar->Children()) {
        QVERIFY(menu->AutoEnable);
        QStringList items;
        for (const auto& item : menu->Children()) {
            QVERIFY(item->AutoEnable);
            items << QString::fromStdString(item->Text + "|" + item->KeyboardShortcut);
            names << QString::fromStdString(item->Name);
        }
        seen << QString::fromStdString(menu->Text) + QLatin1Char(':') +
                    items.join(QLatin1Char(','));
        names << QString::fromStdString(menu->Name);
    }
    QCOMPARE(seen, QStringList({
                       QStringLiteral("&File:Quit|Cmd+Q"),
                       QStringLiteral("&Edit:Reset|Cmd+R"),
                       QStringLiteral("Telescope:76 mm Apochromat|Cmd+1,80 mm Achromat|Cmd+2,"
                                      "ETX 90 Maksutov|Cmd+3,102 mm Achromat|Cmd+4,"
                                      "114 mm Newt|Cmd+5,150 mm Newt (Wide)|Cmd+6,"
                                      "150 mm Newt (Long)|Cmd+7,200 mm SCT|Cmd+8,235 mm SCT|Cmd+9"),
                   }));
    QCOMPARE(names.size(), 14);
    QCOMPARE(&window->TV76Menu(), bar->Child("TelescopeMenu")->Child("TV76Menu"));
    QCOMPARE(window->FileQuit().Text, std::string("Quit"));

    // What the user sees: the Qt menus, with Ctrl standing for Cmd off macOS.
    QList<QMenu*> menus;
    for (QAction* action : window->menuBar()->actions())
        menus << action->menu();
    QCOMPARE(menus.size(), 3);
    QCOMPARE(menus[0]->title(), QStringLiteral("&File"));
    QCOMPARE(menus[0]->actions().front()->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
    QCOMPARE(menus[2]->actions().size(), 9);
    QCOMPARE(menus[2]->actions()[5]->text(), QStringLiteral("150 mm Newt (Wide)"));
    QCOMPARE(menus[2]->actions()[5]->shortcut(), QKeySequence(QStringLiteral("Ctrl+6")));
}

void WindowTest::missingOrMistypedControlsRaise() {
    QVERIFY_THROWS_EXCEPTION(runtime::NilObjectException,
                             window->Control<runtime::Slider>("NoSuchSlider"));
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

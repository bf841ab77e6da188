// What a screen reader and a keyboard user get from the window: names, values and labels
// through Qt's accessibility interfaces, the Tab order, keys, and the window at 2x scale.
#include "UiTestFixture.h"

#include <QAccessible>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>

using namespace uitest;

// The interface of a control, or of one half of an arrow pair ("ApertureUpDownArrows/up").
static QAccessibleInterface* accessibleOf(const ui::Window1& w, const QString& control) {
    const QStringList parts = control.split(QLatin1Char('/'));
    QObject* object = &w.Control<QWidget>(parts[0].toStdString());
    if (const auto* arrows = qobject_cast<runtime::UpDownArrows*>(object); parts.size() > 1)
        object = parts[1] == QLatin1String("up") ? arrows->UpButton() : arrows->DownButton();
    return QAccessible::queryAccessibleInterface(object);
}

// Who has the keyboard focus, by control name; the tab panel's bar counts as "page tabs".
static QString focusName(const ui::Window1& w) {
    const QWidget* focus = QApplication::focusWidget();
    if (focus == w.Control<runtime::TabPanel>("EyepieceTabPanel").tabBar())
        return QStringLiteral("page tabs");
    return focus ? focus->objectName() : QStringLiteral("nothing");
}

class AccessibilityTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ui::Window1> window;
    runtime::TabPanel& tabs() { return window->Control<runtime::TabPanel>("EyepieceTabPanel"); }
private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void controlsReadAsWhatTheyAre_data() {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");   // empty where a control has no value to read
        QTest::addColumn<QString>("caption"); // the buddy label of a slider
        // clang-format off
        QTest::newRow("the aperture slider reads Aperture, 200 mm") << "ApertureSlider" << "Aperture" << "200 mm" << "StaticText4";
        QTest::newRow("the focal length slider reads Focal length, 2000 mm") << "FLSlider" << "Focal length" << "2000 mm" << "StaticText5";
        QTest::newRow("the first eyepiece's field slider reads its degrees") << "AFOVSlider" << "Eyepiece 1 apparent field" << "50˚" << "StaticText6";
        QTest::newRow("the first eyepiece's focal length slider reads its millimetres") << "EFLSlider" << "Eyepiece 1 focal length" << "25 mm" << "StaticText11";
        QTest::newRow("the second eyepiece's field slider reads its degrees") << "AFOVSlider1" << "Eyepiece 2 apparent field" << "52˚" << "StaticText7";
        QTest::newRow("the second eyepiece's focal length slider reads its millimetres") << "EFLSlider1" << "Eyepiece 2 focal length" << "32 mm" << "StaticText15";
        QTest::newRow("the aperture's upper arrow is Aperture up") << "ApertureUpDownArrows/up" << "Aperture up" << "" << "";
        QTest::newRow("the aperture's lower arrow is Aperture down") << "ApertureUpDownArrows/down" << "Aperture down" << "" << "";
        QTest::newRow("the second eyepiece's upper field arrow is named for it") << "AFOVUpDownArrows1/up" << "Eyepiece 2 apparent field up" << "" << "";
        QTest::newRow("the second eyepiece's lower field arrow is named for it") << "AFOVUpDownArrows1/down" << "Eyepiece 2 apparent field down" << "" << "";
        QTest::newRow("the Barlow toggle says it is a Barlow lens") << "BarlowButton" << "Barlow lens" << "" << "";
        QTest::newRow("the R/C toggle spells out reducer/corrector") << "RCButton" << "Reducer/corrector" << "" << "";
        QTest::newRow("the ƒ read-out is the focal ratio") << "FNumberText" << "Focal ratio" << "ƒ = 10.0" << "";
        QTest::newRow("the first eyepiece's magnification read-out says so") << "MagnificationText" << "Eyepiece 1 magnification" << "x 80" << "";
        QTest::newRow("the second eyepiece's exit pupil read-out says so") << "ExitText1" << "Eyepiece 2 exit pupil" << "3.2" << "";
        QTest::newRow("a caption is named by its own text") << "StaticText9" << "True field of view:" << "True field of view:" << "";
        // clang-format on
    }

    void controlsReadAsWhatTheyAre() {
        QFETCH(QString, control);
        QFETCH(QString, name);
        QFETCH(QString, value);
        QFETCH(QString, caption);
        QAccessibleInterface* iface = accessibleOf(*window, control);
        QCOMPARE(iface->text(QAccessible::Name), name);
        if (!value.isEmpty())
            QCOMPARE(iface->text(QAccessible::Value), value);
        if (caption.isEmpty())
            return;
        // Screen readers follow a buddy caption both ways.
        QAccessibleInterface* label = accessibleOf(*window, caption);
        QVERIFY(iface->relations(QAccessible::Label).contains({label, QAccessible::Label}));
        QVERIFY(label->relations(QAccessible::Labelled).contains({iface, QAccessible::Labelled}));
    }

    void tabFollowsReadingOrder() {
        // Telescope, page tabs, then the page in front from the top; the hidden page is skipped.
        for (const QString page : {"", "1"}) {
            tabs().setCurrentIndex(page.isEmpty() ? 0 : 1);
            const QStringList order{"ApertureSlider",    "FLSlider",         "page tabs",
                                    "AFOVSlider" + page, "EFLSlider" + page, "ApertureSlider"};
            window->Control<QWidget>("ApertureSlider").setFocus(Qt::TabFocusReason);
            for (qsizetype i = 1; i < order.size(); ++i) {
                QTest::keyClick(window.get(), Qt::Key_Tab);
                QCOMPARE(focusName(*window), order[i]);
            }
            for (qsizetype i = order.size() - 1; i > 0; --i) {
                QTest::keyClick(window.get(), Qt::Key_Backtab, Qt::ShiftModifier);
                QCOMPARE(focusName(*window), order[i - 1]);
            }
        }
    }

    void keysMoveASliderLikeADrag_data() {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("change");
        QTest::addColumn<QString>("reads"); // what a screen reader then reads as its value
        // From the start-up values: 200 mm, 2000 mm, eyepieces of 25 mm / 50˚ and 32 mm / 52˚.
        // clang-format off
        QTest::newRow("Right arrow widens the aperture by 1 mm") << "ApertureSlider" << Qt::Key_Right << 1 << "201 mm";
        QTest::newRow("Left arrow narrows the aperture by 1 mm") << "ApertureSlider" << Qt::Key_Left << -1 << "199 mm";
        QTest::newRow("Page Up lengthens the telescope by 20 mm") << "FLSlider" << Qt::Key_PageUp << 20 << "2020 mm";
        QTest::newRow("Page Down shortens the telescope by 20 mm") << "FLSlider" << Qt::Key_PageDown << -20 << "1980 mm";
        QTest::newRow("Home takes the first eyepiece to its shortest, 3 mm") << "EFLSlider" << Qt::Key_Home << -22 << "3 mm";
        QTest::newRow("End opens the first eyepiece's field to its widest, 90 degrees") << "AFOVSlider" << Qt::Key_End << 40 << "90˚";
        QTest::newRow("Up arrow lengthens the second eyepiece by 1 mm") << "EFLSlider1" << Qt::Key_Up << 1 << "33 mm";
        QTest::newRow("Down arrow narrows the second eyepiece's field by 1 degree") << "AFOVSlider1" << Qt::Key_Down << -1 << "51˚";
        // clang-format on
    }

    void keysMoveASliderLikeADrag() {
        QFETCH(QString, slider);
        QFETCH(Qt::Key, key);
        QFETCH(int, change);
        QFETCH(QString, reads);
        const QByteArray name = slider.toUtf8();
        // A second window, its slider dragged to the same place, is to show all the same.
        auto dragged = openWindow();
        for (ui::Window1* w : {window.get(), dragged.get()})
            w->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(slider.endsWith('1'));
        auto& moved = window->Control<runtime::Slider>(name.constData());
        const int before = moved.Value();
        int reports = 0;
        connect(&window->Control<runtime::Slider>(name.constData()), &runtime::Slider::ValueChanged,
                this, [&] { ++reports; });
        moved.setFocus(Qt::OtherFocusReason);
        QTest::keyClick(&moved, key);
        QCOMPARE(moved.Value(), before + change);
        QCOMPARE(reports, 1); // the one report a drag step makes
        QCOMPARE(accessibleOf(*window, slider)->text(QAccessible::Value), reads);
        dragged->Control<runtime::Slider>(name.constData()).setSliderPosition(before + change);
        QCOMPARE(snapshot(*window), snapshot(*dragged));
    }

    void ctrlTabSwitchesThePagesAndNothingElse() {
        // The tab panel takes Ctrl+Tab as a key, not a shortcut, so it goes to the focus.
        window->Control<QWidget>("EFLSlider").setFocus(Qt::TabFocusReason);
        const auto before = snapshot(*window);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs().currentIndex(), 1);
        // The focus moves onto the page now in front, so the keys go on working there.
        QCOMPARE(focusName(*window), QStringLiteral("AFOVSlider1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(snapshot(*window), before); // wrapped round to the first page, nothing else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs().currentIndex(), 1);
    }

    void windowKeepsItsProportionsAtDoubleScale() {
        // The scale is fixed when Qt starts, so the screenshot tool draws the window in a child.
        QTemporaryDir dir;
        QImage shots[2];
        for (int scale : {1, 2}) {
            QProcess tool;
            tool.setEnvironment(QProcess::systemEnvironment()
                                << QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale));
            const QString prefix = dir.filePath(QStringLiteral("x%1").arg(scale));
            tool.start(QStringLiteral(MIRAVANE_SCREENSHOT_TOOL), {prefix});
            QVERIFY(tool.waitForFinished(20000));
            QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
            shots[scale - 1] = QImage(prefix + QStringLiteral("-eyepiece1.png"));
        }
        QVERIFY(!shots[0].isNull());
        QCOMPARE(shots[1].size(), shots[0].size() * 2);
        // Brought back to the first size, it matches nearly pixel for pixel: a control one
        // pixel out of place, or a read-out clipped, shows in one overlapping patch or another.
        const QImage& first = shots[0];
        const QImage back =
            shots[1].scaled(first.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const auto meanDifference = [&](int left, int top, int width, int height) {
            double sum = 0;
            for (int y = top; y < top + height; ++y)
                for (int x = left; x < left + width; ++x)
                    sum += qAbs(qGray(first.pixel(x, y)) - qGray(back.pixel(x, y)));
            return sum / (double(width) * height);
        };
        QVERIFY2(meanDifference(0, 0, first.width(), first.height()) < 3.0, "blurred overall");
        constexpr int patch = 16;
        for (int top = 0; top + patch <= first.height(); top += patch / 2)
            for (int left = 0; left + patch <= first.width(); left += patch / 2)
                QVERIFY2(meanDifference(left, top, patch, patch) < 35.0,
                         qPrintable(QStringLiteral("around (%1, %2)").arg(left).arg(top)));
    }
};

MIRAVANE_UI_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"

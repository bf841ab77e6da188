// What a screen reader and a keyboard user get from the window: names, values and labels
// through Qt's accessibility interfaces, the Tab order, slider keys and page switching, the
// window's icon, and the window drawn at twice the scale.
#include "UiTestFixture.h"

#include <QAccessible>
#include <QImage>
#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>

#include <functional>
#include <vector>

using namespace uitest;

namespace {

// The interface of a control, or of one half of an arrow pair ("ApertureUpDownArrows/up").
QAccessibleInterface* accessibleOf(const ui::Window1& w, const QString& control) {
    const QStringList parts = control.split(QLatin1Char('/'));
    QObject* object = &w.Control<QWidget>(parts[0].toStdString());
    if (parts.size() > 1) {
        const auto& arrows = w.Control<runtime::UpDownArrows>(parts[0].toStdString());
        object = parts[1] == QLatin1String("up") ? arrows.UpButton() : arrows.DownButton();
    }
    return QAccessible::queryAccessibleInterface(object);
}

bool relatedAs(QAccessibleInterface* from, QAccessibleInterface* to,
               QAccessible::Relation relation) {
    for (const auto& [other, kind] : from->relations(relation))
        if (other == to)
            return true;
    return false;
}

// Who has the keyboard focus, by control name; the tab panel's bar counts as "page tabs".
QString focusName(const ui::Window1& w) {
    QWidget* focus = QApplication::focusWidget();
    if (!focus)
        return QStringLiteral("nothing");
    if (focus == w.Control<runtime::TabPanel>("EyepieceTabPanel").tabBar())
        return QStringLiteral("page tabs");
    return focus->objectName();
}

// Keys go to whatever has the focus, as when typed.
void type(QKeyCombination keys) {
    QTest::keyClick(QApplication::focusWidget(), keys.key(), keys.keyboardModifiers());
}

void walk(QAccessibleInterface* node, const std::function<void(QAccessibleInterface*)>& visit) {
    visit(node);
    for (int i = 0; i < node->childCount(); ++i)
        if (QAccessibleInterface* child = node->child(i))
            walk(child, visit);
}

} // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void controlsHaveNamesThatSayWhatTheyAre_data();
    void controlsHaveNamesThatSayWhatTheyAre();
    void everyControlHasAName();
    void noTwoControlsShareAName();
    void slidersReadAsTheirNameAndValue_data();
    void slidersReadAsTheirNameAndValue();
    void aValueSetByAnAssistiveToolRunsTheUpdate();

    void tabFollowsReadingOrder_data();
    void tabFollowsReadingOrder();
    void keysMoveASliderLikeADrag_data();
    void keysMoveASliderLikeADrag();
    void ctrlTabSwitchesThePages_data();
    void ctrlTabSwitchesThePages();

    void windowCarriesTheProgramIcon();
    void windowKeepsItsProportionsAtDoubleScale();

private:
    std::unique_ptr<ui::Window1> window;
};

void AccessibilityTest::controlsHaveNamesThatSayWhatTheyAre_data() {
    QTest::addColumn<QString>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("value");
    // clang-format off
    QTest::newRow("the aperture slider is called Aperture") << "ApertureSlider" << "Aperture" << "200 mm";
    QTest::newRow("the focal length slider is called Focal length") << "FLSlider" << "Focal length" << "2000 mm";
    QTest::newRow("the aperture's upper arrow is Aperture up") << "ApertureUpDownArrows/up" << "Aperture up" << "";
    QTest::newRow("the aperture's lower arrow is Aperture down") << "ApertureUpDownArrows/down" << "Aperture down" << "";
    QTest::newRow("the focal length's upper arrow is Focal length up") << "FLUpDownArrows/up" << "Focal length up" << "";
    QTest::newRow("the focal length's lower arrow is Focal length down") << "FLUpDownArrows/down" << "Focal length down" << "";
    QTest::newRow("the second eyepiece's field arrows are named for it") << "AFOVUpDownArrows1/up" << "Eyepiece 2 apparent field up" << "";
    QTest::newRow("the first eyepiece's focal length arrows are named for it") << "EFUpDownArrows/down" << "Eyepiece 1 focal length down" << "";
    QTest::newRow("the Barlow toggle says it is a Barlow lens") << "BarlowButton" << "Barlow lens" << "";
    QTest::newRow("the R/C toggle spells out reducer/corrector") << "RCButton" << "Reducer/corrector" << "";
    QTest::newRow("the ƒ read-out is the focal ratio") << "FNumberText" << "Focal ratio" << "ƒ = 10.0";
    QTest::newRow("the status names the optic in the light path") << "StatusText" << "Optic in the light path" << "";
    QTest::newRow("the first eyepiece's magnification read-out") << "MagnificationText" << "Eyepiece 1 magnification" << "x 80";
    QTest::newRow("the first eyepiece's true field read-out") << "TFOVText" << "Eyepiece 1 true field of view" << "37.5'";
    QTest::newRow("the second eyepiece's exit pupil read-out") << "ExitText1" << "Eyepiece 2 exit pupil" << "3.2";
    QTest::newRow("the second eyepiece's focal length value") << "EFLText1" << "Eyepiece 2 focal length value" << "32 mm";
    QTest::newRow("a caption is named by its own text") << "StaticText9" << "True field of view:" << "True field of view:";
    // clang-format on
}

void AccessibilityTest::controlsHaveNamesThatSayWhatTheyAre() {
    QFETCH(QString, control);
    QFETCH(QString, name);
    QFETCH(QString, value);
    QAccessibleInterface* iface = accessibleOf(*window, control);
    QVERIFY(iface);
    QCOMPARE(iface->text(QAccessible::Name), name);
    if (!value.isEmpty())
        QCOMPARE(iface->text(QAccessible::Value), value);
}

void AccessibilityTest::everyControlHasAName() {
    auto& tabs = window->Control<runtime::TabPanel>("EyepieceTabPanel");
    for (int page = 0; page < tabs.count(); ++page) {
        tabs.setCurrentIndex(page);
        QStringList unnamed;
        int seen = 0;
        walk(QAccessible::queryAccessibleInterface(window.get()), [&](QAccessibleInterface* node) {
            switch (node->role()) {
            case QAccessible::Slider:
            case QAccessible::Button:
            case QAccessible::StaticText:
            case QAccessible::PageTab:
            case QAccessible::PageTabList:
                break;
            default:
                return;
            }
            if (node->state().invisible)
                return;
            ++seen;
            if (node->text(QAccessible::Name).isEmpty())
                unnamed << (node->object() ? node->object()->objectName() : QString()) +
                               QStringLiteral(" (role %1)").arg(node->role());
        });
        // Sliders, arrows, toggles and labels of the telescope and of the page in front.
        QVERIFY2(seen > 30, qPrintable(QString::number(seen)));
        QVERIFY2(unnamed.isEmpty(), qPrintable(unnamed.join(QStringLiteral(", "))));
    }
}

void AccessibilityTest::noTwoControlsShareAName() {
    // A row copied from the first eyepiece and left unchanged would name two controls alike.
    QMap<QString, QString> owners;
    QStringList clashes;
    for (QWidget* control : window->Content()->findChildren<QWidget*>()) {
        if (control->accessibleName().isEmpty())
            continue;
        const QString owner = owners.value(control->accessibleName());
        if (!owner.isEmpty())
            clashes << owner + QStringLiteral(" and ") + control->objectName() +
                           QStringLiteral(": ") + control->accessibleName();
        owners.insert(control->accessibleName(), control->objectName());
    }
    QVERIFY2(owners.size() > 40, qPrintable(QString::number(owners.size())));
    QVERIFY2(clashes.isEmpty(), qPrintable(clashes.join(QStringLiteral("; "))));
}

void AccessibilityTest::slidersReadAsTheirNameAndValue_data() {
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("reads");
    QTest::addColumn<QString>("afterOneStepUp");
    // clang-format off
    QTest::newRow("the aperture reads Aperture, 200 mm") << "ApertureSlider" << "StaticText4" << "Aperture" << "200 mm" << "201 mm";
    QTest::newRow("the focal length reads Focal length, 2000 mm") << "FLSlider" << "StaticText5" << "Focal length" << "2000 mm" << "2001 mm";
    QTest::newRow("the first eyepiece's field reads its degrees") << "AFOVSlider" << "StaticText6" << "Eyepiece 1 apparent field" << "50˚" << "51˚";
    QTest::newRow("the first eyepiece's focal length reads its millimetres") << "EFLSlider" << "StaticText11" << "Eyepiece 1 focal length" << "25 mm" << "26 mm";
    QTest::newRow("the second eyepiece's field reads its degrees") << "AFOVSlider1" << "StaticText7" << "Eyepiece 2 apparent field" << "52˚" << "53˚";
    QTest::newRow("the second eyepiece's focal length reads its millimetres") << "EFLSlider1" << "StaticText15" << "Eyepiece 2 focal length" << "32 mm" << "33 mm";
    // clang-format on
}

void AccessibilityTest::slidersReadAsTheirNameAndValue() {
    QFETCH(QString, slider);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QFETCH(QString, reads);
    QFETCH(QString, afterOneStepUp);
    QAccessibleInterface* iface = accessibleOf(*window, slider);
    QAccessibleInterface* label = accessibleOf(*window, caption);
    QCOMPARE(iface->role(), QAccessible::Slider);
    QCOMPARE(iface->text(QAccessible::Name), name);
    QCOMPARE(iface->text(QAccessible::Value), reads);
    // The caption is the slider's buddy, which screen readers follow both ways.
    QCOMPARE(qobject_cast<QLabel*>(label->object())->buddy(), iface->object());
    QVERIFY(relatedAs(iface, label, QAccessible::Label));
    QVERIFY(relatedAs(label, iface, QAccessible::Labelled));

    // The value is read when asked, so it follows every move.
    if (slider.endsWith(QLatin1Char('1')))
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    sliderKey(*window, slider.toUtf8(), Qt::Key_Right);
    QCOMPARE(iface->text(QAccessible::Value), afterOneStepUp);
    QAccessibleValueInterface* range = iface->valueInterface();
    QVERIFY(range);
    QCOMPARE(range->currentValue().toInt(), value(*window, slider.toUtf8()));
    QCOMPARE(range->minimumValue().toInt(), 0);
    QCOMPARE(range->minimumStepSize().toInt(), 1);
}

void AccessibilityTest::aValueSetByAnAssistiveToolRunsTheUpdate() {
    QAccessibleValueInterface* range =
        accessibleOf(*window, QStringLiteral("EFLSlider"))->valueInterface();
    range->setCurrentValue(7); // 10 mm
    QCOMPARE(text(*window, "EFLText"), QStringLiteral("10 mm"));
    QCOMPARE(text(*window, "MagnificationText"), QStringLiteral("x 200"));
    QCOMPARE(text(*window, "ExitText"), QStringLiteral("1.0"));
}

void AccessibilityTest::tabFollowsReadingOrder_data() {
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("order");
    QTest::newRow("with eyepiece 1 in front, Tab runs telescope, page tabs, then its page")
        << 0 << QStringList{"ApertureSlider", "FLSlider",  "page tabs",
                            "AFOVSlider",     "EFLSlider", "ApertureSlider"};
    QTest::newRow("with eyepiece 2 in front, Tab reaches the second page's sliders")
        << 1 << QStringList{"ApertureSlider", "FLSlider",   "page tabs",
                            "AFOVSlider1",    "EFLSlider1", "ApertureSlider"};
}

void AccessibilityTest::tabFollowsReadingOrder() {
    QFETCH(int, page);
    QFETCH(QStringList, order);
    window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(page);
    window->Control<QWidget>("ApertureSlider").setFocus(Qt::TabFocusReason);

    QStringList forward{focusName(*window)};
    for (qsizetype i = 1; i < order.size(); ++i) {
        pressKeys(*window, Qt::Key_Tab);
        forward << focusName(*window);
    }
    QCOMPARE(forward, order);

    QStringList backward{focusName(*window)};
    for (qsizetype i = 1; i < order.size(); ++i) {
        pressKeys(*window, Qt::SHIFT | Qt::Key_Backtab);
        backward.prepend(focusName(*window));
    }
    QCOMPARE(backward, order);
}

void AccessibilityTest::keysMoveASliderLikeADrag_data() {
    QTest::addColumn<QString>("slider");
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("readout");
    QTest::addColumn<QString>("readoutShows");
    // From the start-up values: 200 mm, 2000 mm, eyepieces of 25 mm / 50˚ and 32 mm / 52˚.
    // clang-format off
    QTest::newRow("Right arrow widens the aperture by 1 mm") << "ApertureSlider" << QKeyCombination(Qt::Key_Right) << 151 << "ApertureText" << "201 mm" << "ExitText" << "2.5";
    QTest::newRow("Left arrow narrows the aperture by 1 mm") << "ApertureSlider" << QKeyCombination(Qt::Key_Left) << 149 << "ApertureText" << "199 mm" << "FNumberText" << "ƒ = 10.1";
    QTest::newRow("Page Up lengthens the telescope by 20 mm") << "FLSlider" << QKeyCombination(Qt::Key_PageUp) << 1620 << "FocalLengthText" << "2020 mm" << "MagnificationText" << "x 81";
    QTest::newRow("Page Down shortens the telescope by 20 mm") << "FLSlider" << QKeyCombination(Qt::Key_PageDown) << 1580 << "FocalLengthText" << "1980 mm" << "MagnificationText1" << "x 62";
    QTest::newRow("Home takes the first eyepiece to 3 mm") << "EFLSlider" << QKeyCombination(Qt::Key_Home) << 0 << "EFLText" << "3 mm" << "MagnificationText" << "x 667";
    QTest::newRow("End opens the first eyepiece's field to 90 degrees") << "AFOVSlider" << QKeyCombination(Qt::Key_End) << 90 << "AFOVText" << "90˚" << "TFOVText" << "67.5'";
    QTest::newRow("Up arrow lengthens the second eyepiece by 1 mm") << "EFLSlider1" << QKeyCombination(Qt::Key_Up) << 30 << "EFLText1" << "33 mm" << "MagnificationText1" << "x 61";
    QTest::newRow("Down arrow narrows the second eyepiece's field by 1 degree") << "AFOVSlider1" << QKeyCombination(Qt::Key_Down) << 51 << "AFOVText1" << "51˚" << "TFOVText1" << "49.0'";
    // clang-format on
}

void AccessibilityTest::keysMoveASliderLikeADrag() {
    QFETCH(QString, slider);
    QFETCH(QKeyCombination, key);
    QFETCH(int, position);
    QFETCH(QString, label);
    QFETCH(QString, shown);
    QFETCH(QString, readout);
    QFETCH(QString, readoutShows);
    const QByteArray name = slider.toUtf8();
    if (slider.endsWith(QLatin1Char('1')))
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(1);
    // Reach the slider with Tab, as a keyboard user does.
    window->Control<QWidget>("ApertureSlider").setFocus(Qt::TabFocusReason);
    for (int tabs = 0; focusName(*window) != slider && tabs < 8; ++tabs)
        pressKeys(*window, Qt::Key_Tab);
    QCOMPARE(focusName(*window), slider);

    int reports = 0;
    connect(&window->Control<runtime::Slider>(name.constData()), &runtime::Slider::ValueChanged,
            this, [&] { ++reports; });
    type(key);
    QCOMPARE(value(*window, name), position);
    QCOMPARE(reports, 1); // the one report a drag step makes
    QCOMPARE(text(*window, label.toUtf8()), shown);
    QCOMPARE(text(*window, readout.toUtf8()), readoutShows);
}

void AccessibilityTest::ctrlTabSwitchesThePages_data() {
    QTest::addColumn<QKeyCombination>("keys");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("to");
    QTest::addColumn<QString>("focusAfter");
    // clang-format off
    QTest::newRow("Ctrl+Tab brings eyepiece 2 forward") << (Qt::CTRL | Qt::Key_Tab) << 0 << 1 << "AFOVSlider1";
    QTest::newRow("Ctrl+Tab from the last page wraps to eyepiece 1") << (Qt::CTRL | Qt::Key_Tab) << 1 << 0 << "AFOVSlider";
    QTest::newRow("Ctrl+Shift+Tab goes back to eyepiece 1") << (Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab) << 1 << 0 << "AFOVSlider";
    // clang-format on
}

void AccessibilityTest::ctrlTabSwitchesThePages() {
    QFETCH(QKeyCombination, keys);
    QFETCH(int, from);
    QFETCH(int, to);
    QFETCH(QString, focusAfter);
    auto& tabs = window->Control<runtime::TabPanel>("EyepieceTabPanel");
    tabs.setCurrentIndex(from);
    window->Control<QWidget>(from == 0 ? "EFLSlider" : "EFLSlider1").setFocus(Qt::TabFocusReason);
    const QStringList before = snapshot(*window);
    type(keys);
    QCOMPARE(tabs.currentIndex(), to);
    // The focus moves onto the page now in front, so the keys go on working there.
    QCOMPARE(focusName(*window), focusAfter);
    // Only the page changed, no value.
    QStringList after = snapshot(*window);
    after.replaceInStrings(QStringLiteral("tab=%1").arg(to), QStringLiteral("tab=%1").arg(from));
    QCOMPARE(after, before);
}

void AccessibilityTest::windowCarriesTheProgramIcon() {
    const QIcon icon = window->windowIcon();
    QVERIFY(!icon.isNull());
    const QImage shown = icon.pixmap(64).toImage();
    const QImage drawn = QIcon(QStringLiteral(MIRAVANE_ICON)).pixmap(64).toImage();
    QVERIFY(!drawn.isNull());
    QCOMPARE(shown, drawn);
}

void AccessibilityTest::windowKeepsItsProportionsAtDoubleScale() {
    // The scale is fixed when Qt starts, so the screenshot tool draws the window in a child.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QImage shots[2];
    for (int scale : {1, 2}) {
        QProcess tool;
        auto env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("QT_SCALE_FACTOR"), QString::number(scale));
        tool.setProcessEnvironment(env);
        const QString prefix = dir.filePath(QStringLiteral("x%1").arg(scale));
        tool.start(QStringLiteral(MIRAVANE_SCREENSHOT_TOOL), {prefix});
        QVERIFY(tool.waitForFinished(20000));
        QVERIFY2(tool.exitCode() == 0, tool.readAllStandardError().constData());
        shots[scale - 1] = QImage(prefix + QStringLiteral("-eyepiece1.png"));
        QVERIFY(!shots[scale - 1].isNull());
    }
    const QImage& single = shots[0];
    const QImage& twice = shots[1];
    QCOMPARE(twice.size(), single.size() * 2);

    // Brought back to the first size, the picture matches the first one nearly pixel for pixel:
    // text and lines are drawn finer, but nothing moved, grew out of place or was cut off. A
    // control one pixel out of place, or a read-out clipped, shows in one patch or another.
    const QImage back = twice.scaled(single.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                            .convertToFormat(QImage::Format_RGB32);
    const QImage first = single.convertToFormat(QImage::Format_RGB32);
    const int width = first.width(), height = first.height();
    std::vector<int> difference(std::size_t(width) * height);
    double total = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int d = qAbs(qGray(first.pixel(x, y)) - qGray(back.pixel(x, y)));
            difference[std::size_t(y) * width + x] = d;
            total += d;
        }
    const double mean = total / (double(width) * height);
    QVERIFY2(mean < 3.0, qPrintable(QString::number(mean)));
    constexpr int patch = 16;
    for (int top = 0; top + patch <= height; top += patch / 2)
        for (int left = 0; left + patch <= width; left += patch / 2) {
            int sum = 0;
            for (int y = top; y < top + patch; ++y)
                for (int x = left; x < left + patch; ++x)
                    sum += difference[std::size_t(y) * width + x];
            const double patchMean = double(sum) / (patch * patch);
            QVERIFY2(patchMean < 35.0,
                     qPrintable(
                         QStringLiteral("around (%1, %2): %3").arg(left).arg(top).arg(patchMean)));
        }
}

MIRAVANE_UI_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"

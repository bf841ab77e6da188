// What a keyboard user gets from the window, and the window at 2x scale. What a screen reader
// reads is checked through the real AT-SPI bus by atspi_check.py.
#include "UiTestFixture.h"

#include <QProcess>
#include <QTabBar>
#include <QTemporaryDir>

using namespace uitest;

class AccessibilityTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ui::Window1> window;
    runtime::TabPanel& tabs() { return window->Control<runtime::TabPanel>("EyepieceTabPanel"); }
    QString focusName() { return QApplication::focusWidget()->objectName(); }
private Q_SLOTS:
    void init() { window = openWindow(); }
    void cleanup() { window.reset(); }

    void tabFollowsReadingOrder() {
        // Telescope, page tabs, then the page in front from the top; the hidden page is skipped.
        for (const QString page : {"", "1"}) {
            tabs().setCurrentIndex(int(page.size()));
            QStringList order{
                "ApertureSlider",    "FLSlider",         tabs().tabBar()->objectName(),
                "AFOVSlider" + page, "EFLSlider" + page, "ApertureSlider"};
            window->Control<QWidget>("ApertureSlider").setFocus(Qt::TabFocusReason);
            for (const QKeyCombination key :
                 {QKeyCombination(Qt::Key_Tab), Qt::SHIFT | Qt::Key_Backtab}) {
                for (qsizetype i = 1; i < order.size(); ++i) {
                    QTest::keyClick(window.get(), key.key(), key.keyboardModifiers());
                    QCOMPARE(focusName(), order[i]);
                }
                std::reverse(order.begin(), order.end()); // Shift+Tab goes the same way back
            }
        }
    }

    void ctrlTabSwitchesThePagesAndNothingElse() {
        // The tab panel takes Ctrl+Tab as a key, not a shortcut, so it goes to the focus.
        window->Control<QWidget>("EFLSlider").setFocus(Qt::TabFocusReason);
        const auto before = snapshot(*window);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(tabs().currentIndex(), 1);
        // The focus moves onto the page now in front, so the keys go on working there.
        QCOMPARE(focusName(), QStringLiteral("AFOVSlider1"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(snapshot(*window), before); // wrapped round to the first page, nothing else
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(tabs().currentIndex(), 1);
    }

    void keysMoveASliderLikeADrag_data() {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<Qt::Key>("key");
        QTest::addColumn<int>("change");
        // From the start-up values: 200 mm, 2000 mm, eyepieces of 25 mm / 50˚ and 32 mm / 52˚.
        // clang-format off
        QTest::newRow("Right arrow widens the aperture by 1 mm") << QByteArray("ApertureSlider") << Qt::Key_Right << 1;
        QTest::newRow("Page Down shortens the telescope by 20 mm") << QByteArray("FLSlider") << Qt::Key_PageDown << -20;
        QTest::newRow("Home takes the first eyepiece to its shortest, 3 mm") << QByteArray("EFLSlider") << Qt::Key_Home << -22;
        QTest::newRow("End opens the first eyepiece's field to its widest, 90 degrees") << QByteArray("AFOVSlider") << Qt::Key_End << 40;
        QTest::newRow("Down arrow narrows the second eyepiece's field by 1 degree") << QByteArray("AFOVSlider1") << Qt::Key_Down << -1;
        // clang-format on
    }

    void keysMoveASliderLikeADrag() {
        QFETCH(QByteArray, name);
        QFETCH(Qt::Key, key);
        QFETCH(int, change);
        // A second window, its slider dragged to where the key is to take it, shows all the same.
        auto dragged = openWindow();
        for (ui::Window1* w : {window.get(), dragged.get()})
            w->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(name.endsWith('1'));
        int reports = 0;
        connect(&window->Control<runtime::Slider>(name.constData()), &runtime::Slider::ValueChanged,
                this, [&] { ++reports; });
        auto& slider = window->Control<runtime::Slider>(name.constData());
        dragged->Control<runtime::Slider>(name.constData())
            .setSliderPosition(slider.Value() + change);
        slider.setFocus(Qt::OtherFocusReason);
        QTest::keyClick(&slider, key);
        QCOMPARE(reports, 1); // the one report a drag step makes
        QCOMPARE(snapshot(*window), snapshot(*dragged));
    }

    void windowKeepsItsProportionsAtDoubleScale() {
        // The scale is fixed when Qt starts, so the screenshot tool draws the window in a child.
        QTemporaryDir dir;
        QImage shots[2];
        for (int scale : {1, 2}) {
            qputenv("QT_SCALE_FACTOR", QByteArray::number(scale));
            QProcess tool;
            tool.start(QStringLiteral(MIRAVANE_SCREENSHOT_TOOL),
                       {dir.filePath(QString::number(scale))});
            QVERIFY(tool.waitForFinished(20000) && tool.exitCode() == 0);
            QVERIFY(
                shots[scale - 1].load(dir.filePath(QStringLiteral("%1-eyepiece1.png").arg(scale))));
        }
        qunsetenv("QT_SCALE_FACTOR");
        QCOMPARE(shots[1].size(), shots[0].size() * 2);
        // Brought back to the first size it matches nearly pixel for pixel, overall and in every
        // 16-pixel square: a control one pixel out of place, or a read-out clipped, shows in one.
        const QImage& a = shots[0];
        const QImage b = shots[1].scaled(a.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        const auto mean = [&](const QRect& area) {
            double sum = 0;
            for (int y = area.top(); y <= area.bottom(); ++y)
                for (int x = area.left(); x <= area.right(); ++x)
                    sum += qAbs(qGray(a.pixel(x, y)) - qGray(b.pixel(x, y)));
            return sum / (area.width() * area.height());
        };
        QVERIFY2(mean(a.rect()) < 3.0, "blurred overall");
        for (int top = 0; top + 16 <= a.height(); top += 8)
            for (int left = 0; left + 16 <= a.width(); left += 8)
                QVERIFY2(mean({left, top, 16, 16}) < 35.0,
                         qPrintable(QStringLiteral("at %1, %2").arg(left).arg(top)));
    }
};

MIRAVANE_UI_TEST_MAIN(AccessibilityTest)
#include "tst_accessibility.moc"

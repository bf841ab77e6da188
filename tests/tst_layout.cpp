#include "UiTestFixture.h"

#include <QFontInfo>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>

#include <cstdio>

using namespace uitest;

namespace {

// The widest text of each value label and read-out: the inputs' far ends, the Barlow on
// 3000 mm, a 3 mm eyepiece, and a 55 mm, 90˚ one under the reducer at 400 mm.
// clang-format off
const char* const kWidest[][2] = {{"ApertureText", "400 mm"}, {"FocalLengthText", "6000 mm"},
    {"FNumberText", "ƒ = 120.0"}, {"StatusText", "Barlow"}, {"EFLText", "55 mm"}, {"AFOVText", "90˚"},
    {"MagnificationText", "x 2000"}, {"TFOVText", "1178.6'"}, {"ExitText", "87.3"}};
// clang-format on

// Whether a text shows whole in a label, with each digit as wide as the font's widest.
bool fits(const QWidget& label, QString text) {
    const QRect room = label.contentsRect();
    const QFontMetrics metrics = label.fontMetrics();
    QChar widest = u'0';
    for (const QChar digit : QStringLiteral("123456789"))
        if (metrics.horizontalAdvance(digit) > metrics.horizontalAdvance(widest))
            widest = digit;
    text.replace(QRegularExpression(QStringLiteral("[0-9]")), widest);
    return metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height();
}

void checkEverythingShowsWhole(ui::Window1& window) {
    QStringList cut;
    const auto check = [&](const QWidget& widget, const QString& text) {
        if (!fits(widget, text))
            cut << widget.objectName() + QLatin1Char(' ') + text;
    };
    for (const auto* label : window.findChildren<runtime::StaticText*>())
        check(*label, label->Text());
    for (const auto& [name, text] : kWidest) // and each eyepiece's twin, where there is one
        for (const QString& twin : {QString(), QStringLiteral("1")})
            if (const auto* label = window.findChild<runtime::StaticText*>(name + twin))
                check(*label, QString::fromUtf8(text));
    // A control cut by its parent: the window, the placard, or a page that starts below its
    // first row because the tab bar above it grew.
    auto& tabs = window.Control<runtime::TabPanel>("EyepieceTabPanel");
    for (int index = 0; index < tabs.count(); ++index) {
        tabs.setCurrentIndex(index);
        for (const QWidget* parent :
             {window.Content(), &window.Control<QWidget>("Placard1"), tabs.widget(index)})
            for (const auto* child : parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
                if (!parent->rect().contains(child->geometry()))
                    cut << child->objectName();
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { window.reset(); }

    void everythingShowsWholeInTheDesktopsFont_data() {
        QTest::addColumn<QFont>("font");
        QTest::addColumn<bool>("fromGtk"); // else set by the test, as a desktop sets it
        const QString dejaVu = QStringLiteral("DejaVu Sans"),
                      cantarell = QStringLiteral("Cantarell");
        QFont squeezed(dejaVu, 16);
        squeezed.setStretch(QFont::UltraCondensed);
        // clang-format off
        QTest::newRow("DejaVu Sans 9, the design font") << QFont(dejaVu, 9) << false;
        QTest::newRow("DejaVu Sans 11 needs wider captions") << QFont(dejaVu, 11) << false;
        QTest::newRow("DejaVu Sans 16 needs wider and taller labels") << QFont(dejaVu, 16) << false;
        QTest::newRow("DejaVu Sans 16 at half width needs taller labels") << squeezed << false;
        QTest::newRow("Cantarell 11, GNOME's font") << QFont(cantarell, 11) << false;
        QTest::newRow("Cantarell 8, smaller, with digits of differing widths") << QFont(cantarell, 8) << false;
        QTest::newRow("Cantarell 11 from GTK's settings") << QFont(cantarell, 11) << true;
        // clang-format on
    }
    void everythingShowsWholeInTheDesktopsFont() {
        QFETCH(QFont, font);
        QFETCH(bool, fromGtk);
        if (fromGtk && QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server and the GTK theme: ctest -R tst_layout_desktop");
        if (!fromGtk)
            QApplication::setFont(font);
        window = openWindow();
        const QFontInfo shown(window->Control<QWidget>("StaticText5").font());
        QCOMPARE(shown.family(), font.family());
        QCOMPARE(shown.pointSize(), font.pointSize()); // grown to fit, never shrunk
        checkEverythingShowsWhole(*window);
        // Fixed at the size that fits: no maximise button, no resizing.
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QCOMPARE(window->minimumSize(), window->maximumSize());
    }

    void designFontKeepsTheDesignRectangles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("tab");
        // clang-format off
        QTest::newRow("the placard on the window") << "Placard1" << QRect(117, 14, 600, 78) << 0;
        QTest::newRow("a slider in the placard") << "ApertureSlider" << QRect(301, 31, 381, 16) << 0;
        QTest::newRow("a label on the first page") << "StaticText6" << QRect(126, 143, 82, 20) << 0;
        QTest::newRow("a read-out on the second page") << "ExitText1" << QRect(621, 228, 74, 20) << 1;
        QTest::newRow("the true field, up to the exit pupil") << "TFOVText" << QRect(458, 228, 55, 20) << 0;
        // clang-format on
    }
    void designFontKeepsTheDesignRectangles() {
        QFETCH(QString, name);
        QFETCH(QRect, rect);
        QFETCH(int, tab);
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        window = openWindow();
        QCOMPARE(window->LayoutFactor(), 1.0);
        QCOMPARE(window->Content()->size(), QSize(737, 316));
        window->Control<runtime::TabPanel>("EyepieceTabPanel").setCurrentIndex(tab);
        auto& control = window->Control<QWidget>(name.toStdString());
        const QRect actual(control.mapTo(window->Content(), QPoint()), control.size());
        if (name == QLatin1String("TFOVText")) // grown into the gap before "Exit pupil:" only
            QVERIFY2(actual.left() == rect.left() && rect.contains(actual),
                     qPrintable(QString::number(actual.right())));
        else
            QCOMPARE(actual, rect);
    }

    void windowFitsItsScreen_data() {
        QTest::addColumn<QSize>("screen");
        QTest::addColumn<bool>("scrolls");
        QTest::newRow("DejaVu Sans 20 on 1366x768 scrolls to every control")
            << QSize(1366, 768) << true;
        QTest::newRow("DejaVu Sans 9 on 1600x1000 is as designed") << QSize(1600, 1000) << false;
    }
    void windowFitsItsScreen() {
        QFETCH(QSize, screen);
        QFETCH(bool, scrolls);
        if (QGuiApplication::primaryScreen()->size() != screen)
            QSKIP("needs that screen, a window manager and the font: ctest -R tst_layout_screen");
        window = openWindow();
        // The window manager frames the window, which then fits itself inside the screen.
        QTRY_VERIFY(window->frameGeometry().size() != window->size());
        const QRect area = window->screen()->availableGeometry();
        QTRY_VERIFY2(area.contains(window->frameGeometry()),
                     qPrintable(QStringLiteral("%1,%2 %3x%4")
                                    .arg(window->frameGeometry().x())
                                    .arg(window->frameGeometry().y())
                                    .arg(window->frameGeometry().width())
                                    .arg(window->frameGeometry().height())));
        const auto* view = window->findChild<QScrollArea*>();
        const QWidget* port = view->viewport();
        QCOMPARE(port->size() != window->Content()->size(), scrolls);
        if (!scrolls)
            QCOMPARE(window->Content()->size(), QSize(737, 316));
        // Tab brings each slider into view, the ones past the screen's edge too.
        QStringList hidden;
        for (int i = 0; i < 8; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            const QWidget* focus = QApplication::focusWidget();
            if (!port->rect().contains(QRect(focus->mapTo(port, QPoint()), focus->size())))
                hidden << focus->objectName();
        }
        QVERIFY2(hidden.isEmpty(), qPrintable(hidden.join(QLatin1Char(' '))));
    }

    void readoutsKeepTheirPointUnderACommaLocale() {
        if (!qgetenv("LC_ALL").startsWith("de_DE"))
            QSKIP("needs LC_ALL=de_DE.UTF-8: ctest -R tst_layout_comma_locale");
        char printed[8];
        std::snprintf(printed, sizeof printed, "%.1f", 37.5);
        QCOMPARE(QByteArray(printed), QByteArray("37,5")); // the locale is there and in use
        window = openWindow();
        QCOMPARE(text(*window, "FNumberText"), QStringLiteral("ƒ = 10.0"));
        QCOMPARE(text(*window, "TFOVText"), QStringLiteral("37.5'"));
        QCOMPARE(text(*window, "ExitText1"), QStringLiteral("3.2"));
    }

private:
    std::unique_ptr<ui::Window1> window;
};

MIRAVANE_UI_TEST_MAIN(LayoutTest)
#include "tst_layout.moc"

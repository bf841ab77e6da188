#include "UiTestFixture.h"

#include <QFontInfo>
#include <QStyleOptionButton>

#include <cstdio>

using namespace uitest;

namespace {

// The widest text of each value label and read-out: the inputs' far ends, the Barlow on
// 3000 mm, a 3 mm eyepiece, and a 55 mm, 90˚ one under the reducer at 400 mm.
const char* const kWidest[][2] = {{"ApertureText", "400 mm"},
                                  {"FocalLengthText", "6000 mm"},
                                  {"FNumberText", "ƒ = 120.0"},
                                  {"StatusText", "Barlow"},
                                  {"EFLText", "55 mm"},
                                  {"AFOVText", "90˚"},
                                  {"MagnificationText", "x 2000"},
                                  {"TFOVText", "1178.6'"},
                                  {"ExitText", "87.3"},
                                  {"EFLText1", "55 mm"},
                                  {"AFOVText1", "90˚"},
                                  {"MagnificationText1", "x 2000"},
                                  {"TFOVText1", "1178.6'"},
                                  {"ExitText1", "87.3"}};

// Whether a text shows whole in a room, with each digit as wide as the font's widest.
bool fits(const QFontMetrics& metrics, QString text, const QRect& room) {
    QChar widest = u'0';
    for (char16_t digit = u'1'; digit <= u'9'; ++digit)
        if (metrics.horizontalAdvance(QChar(digit)) > metrics.horizontalAdvance(widest))
            widest = QChar(digit);
    for (QChar& c : text)
        if (c.isDigit())
            c = widest;
    return metrics.horizontalAdvance(text) <= room.width() && metrics.height() <= room.height();
}

void checkEverythingShowsWhole(ui::Window1& window) {
    QStringList cut;
    QList<std::pair<QString, QString>> texts;
    for (const auto* label : window.findChildren<runtime::StaticText*>())
        texts.append({label->objectName(), label->Text()});
    for (const auto& [label, text] : kWidest)
        texts.append({QString::fromUtf8(label), QString::fromUtf8(text)});
    for (const auto& [name, text] : texts) {
        const auto& label = window.Control<runtime::StaticText>(name.toStdString());
        if (!fits(label.fontMetrics(), text, label.contentsRect()))
            cut << name + QStringLiteral(" \"") + text + QLatin1Char('"');
    }
    for (auto* button : window.findChildren<runtime::BevelButton*>()) {
        QStyleOptionButton option;
        option.initFrom(button);
        const QRect room =
            button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button);
        if (!fits(button->fontMetrics(), button->text(), room))
            cut << button->text();
    }
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
    tabs.setCurrentIndex(0);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

} // namespace

class LayoutTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { window.reset(); }

    void everythingShowsWholeInTheDesktopsFont_data() {
        QTest::addColumn<QFont>("font");
        const QString dejaVu = QStringLiteral("DejaVu Sans"),
                      cantarell = QStringLiteral("Cantarell");
        QFont squeezed(dejaVu, 16);
        squeezed.setStretch(QFont::UltraCondensed);
        QTest::newRow("DejaVu Sans 8, smaller than the default") << QFont(dejaVu, 8);
        QTest::newRow("DejaVu Sans 9, the design font") << QFont(dejaVu, 9);
        QTest::newRow("DejaVu Sans 11 needs wider captions") << QFont(dejaVu, 11);
        QTest::newRow("DejaVu Sans 16 needs wider and taller labels") << QFont(dejaVu, 16);
        QTest::newRow("DejaVu Sans 16 at half width needs taller labels only") << squeezed;
        QTest::newRow("Cantarell 11, GNOME's font") << QFont(cantarell, 11);
        QTest::newRow("Cantarell 8, whose digits differ in width") << QFont(cantarell, 8);
    }
    void everythingShowsWholeInTheDesktopsFont() {
        QFETCH(QFont, font);
        QApplication::setFont(font);
        window = openWindow();
        const QFontInfo shown(window->Control<QWidget>("StaticText5").font());
        QCOMPARE(shown.family(), font.family());
        QCOMPARE(shown.pointSize(), font.pointSize()); // grown to fit, never shrunk
        checkEverythingShowsWhole(*window);
        // Fixed at the size that fits: no maximise button, and a resize is refused.
        QCOMPARE(window->windowTitle(), QStringLiteral("Miravane"));
        QVERIFY(!(window->windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(window->windowFlags() & Qt::WindowMinimizeButtonHint);
        const QSize before = window->size();
        window->resize(before + QSize(100, 100));
        QCOMPARE(window->size(), before);
        QCOMPARE(window->minimumSize(), window->maximumSize());
    }

    void designFontKeepsTheDesignRectangles_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("rect");
        QTest::addColumn<int>("tab");
        // One or two of each kind of parent: the window, the placard, either tab page.
        // clang-format off
        QTest::newRow("the placard") << "Placard1" << QRect(117, 14, 600, 78) << 0;
        QTest::newRow("a slider in the placard") << "ApertureSlider" << QRect(301, 31, 381, 16) << 0;
        QTest::newRow("arrows in the placard") << "FLUpDownArrows" << QRect(694, 57, 13, 23) << 0;
        QTest::newRow("a read-out on the window") << "FNumberText" << QRect(20, 36, 85, 20) << 0;
        QTest::newRow("a button on the window") << "RCButton" << QRect(625, 274, 92, 22) << 0;
        QTest::newRow("the tab panel") << "EyepieceTabPanel" << QRect(117, 103, 600, 159) << 0;
        QTest::newRow("a label on the first page") << "StaticText6" << QRect(126, 143, 82, 20) << 0;
        QTest::newRow("a read-out on the second page") << "ExitText1" << QRect(621, 228, 74, 20) << 1;
        QTest::newRow("arrows on the second page") << "AFOVUpDownArrows1" << QRect(694, 144, 13, 23) << 1;
        // Grown rightwards into the gap before "Exit pupil:", no further.
        QTest::newRow("the true field up to the exit pupil") << "TFOVText" << QRect(458, 228, 55, 20) << 0;
        QTest::newRow("the second true field up to its exit pupil") << "TFOVText1" << QRect(458, 228, 55, 20) << 1;
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
        QVERIFY(control.isVisible());
        const QRect actual(control.mapTo(window->Content(), QPoint(0, 0)), control.size());
        if (name.startsWith(QLatin1String("TFOVText")))
            QVERIFY2(actual.left() == rect.left() && rect.contains(actual),
                     qPrintable(QStringLiteral("right edge at %1").arg(actual.right())));
        else
            QCOMPARE(actual, rect);
    }

    void desktopFontReachesTheWindow() {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server and the GTK theme: ctest -R tst_layout_desktop");
        window = openWindow();
        const QFontInfo font(window->Control<QWidget>("StaticText5").font());
        QCOMPARE(font.family(), QStringLiteral("Cantarell"));
        QCOMPARE(font.pointSize(), 11);
        checkEverythingShowsWhole(*window);
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

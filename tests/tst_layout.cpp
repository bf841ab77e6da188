#include "UiTestFixture.h"

#include <QAccessible>
#include <QFile>
#include <QFontInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>

#include <cstdio>

using namespace uitest;

namespace {

// The layout fits its labels to the advances of the hinted glyphs, and each platform's text
// engine hints DejaVu its own way: on Windows "49.9'" at 9 pt is 47 px wide where Linux's
// fontconfig settings give 45. So each platform has its own records of the same window.
#ifdef Q_OS_WIN
constexpr QLatin1String kRecordSuffix("-windows");
#else
constexpr QLatin1String kRecordSuffix("");
#endif

// States in which each value label and read-out shows its widest texts, set on both eyepieces:
// the inputs' far ends with either optic, and texts full of 0 and 4, the widest digits of the
// fonts tested here.
struct WidestState {
    int aperture, focalLength, eyepiece, field;
    const char* optic;
};
const WidestState kWidest[] = {
    {50, 3000, 3, 90, "Barlow"},   // ƒ = 120.0, 6000 mm, x 2000
    {400, 400, 55, 90, "R/C"},     // 1178.6', 87.3, 55 mm, 90˚
    {60, 3000, 3, 0, "Barlow"},    // ƒ = 100.0
    {200, 2000, 25, 50, "Barlow"}, // 4000 mm
    {400, 400, 50, 84, "R/C"},     // 1000.0'
    {400, 400, 40, 40, ""},        // 400 mm, 40 mm, 40˚, 40.0
};

// The labels whose text does not show whole, measured in each label's own font.
QStringList cutLabels(const ui::Window1& window) {
    QStringList cut;
    for (const auto all = window.findChildren<runtime::StaticText*>(); const auto* label : all) {
        const QFontMetrics metrics = label->fontMetrics();
        const QRect room = label->contentsRect();
        if (metrics.horizontalAdvance(label->Text()) > room.width() ||
            metrics.height() > room.height())
            cut << label->objectName() + QLatin1Char(' ') + label->Text();
    }
    return cut;
}

void checkEverythingShowsWhole(ui::Window1& window) {
    // Each slider is moved as a screen reader sets its quantity.
    const auto set = [&window](const QString& name, int quantity) {
        auto& slider = window.Control<runtime::Slider>(name.toStdString());
        slider.setValue(quantity - slider.Offset());
    };
    QStringList cut = cutLabels(window);
    for (const WidestState& state : kWidest) {
        set(QStringLiteral("ApertureSlider"), state.aperture);
        set(QStringLiteral("FLSlider"), state.focalLength);
        for (const QString& twin : {QString(), QStringLiteral("1")}) {
            set("EFLSlider" + twin, state.eyepiece);
            set("AFOVSlider" + twin, state.field);
        }
        const QString optic = QString::fromUtf8(state.optic);
        if (!optic.isEmpty())
            play(window, optic);
        cut << cutLabels(window);
        if (!optic.isEmpty())
            play(window, optic);
    }
    // A control cut by its parent: the window, the placard, or a page that starts below its
    // first row because the tab bar above it grew.
    auto& tabs = window.Control<runtime::TabPanel>("EyepieceTabPanel");
    for (int index = 0; index < tabs.count(); ++index) {
        tabs.setCurrentIndex(index);
        for (const QWidget* parent :
             {window.Content(), &window.Control<QWidget>("Placard1"), tabs.widget(index)})
            for (const auto all = parent->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
                 const auto* child : all)
                if (!parent->rect().contains(child->geometry()))
                    cut << child->objectName();
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral(", "))));
}

// Each control, an arrow's halves and the content area, in the order the window makes them.
QStringList record(ui::Window1& window) {
    auto& tabs = window.Control<runtime::TabPanel>("EyepieceTabPanel");
    QList<QWidget*> widgets{window.Content()};
    for (const auto all = window.Content()->findChildren<QWidget*>(); auto* widget : all) {
        const QString name = widget->objectName();
        if (qobject_cast<runtime::UpDownArrows*>(widget->parentWidget()) ||
            (!name.isEmpty() && !name.startsWith(QLatin1String("qt_")) &&
             !qobject_cast<QTabBar*>(widget->parentWidget()))) // but not its scroll buttons
            widgets << widget;
    }
    QStringList lines;
    for (QWidget* widget : std::as_const(widgets)) {
        int page = -1;
        for (int index = 0; index < tabs.count(); ++index)
            if (tabs.widget(index)->isAncestorOf(widget) || tabs.widget(index) == widget)
                page = index;
        tabs.setCurrentIndex(std::max(page, 0));
        QString name = widget->objectName(), text, align;
        if (widget == window.Content())
            text = window.windowTitle();
        if (const auto* arrows = qobject_cast<runtime::UpDownArrows*>(widget->parentWidget()))
            name = arrows->objectName() +
                   QLatin1String(widget == arrows->UpButton() ? ".up" : ".down");
        if (const auto* label = qobject_cast<runtime::StaticText*>(widget)) {
            text = label->Text();
            align = QString::number(label->alignment(), 16);
        } else if (const auto* button = qobject_cast<QAbstractButton*>(widget)) {
            text = button->text();
        } else if (const auto* panel = qobject_cast<runtime::TabPanel*>(widget)) {
            for (int index = 0; index < panel->count(); ++index)
                text += panel->tabText(index) + u'|';
        } else if (const auto* slider = qobject_cast<runtime::Slider*>(widget)) {
            text = QString::asprintf("%d..%d step %d page %d offset %d at %d", slider->minimum(),
                                     slider->maximum(), slider->singleStep(), slider->pageStep(),
                                     slider->Offset(), slider->Value());
        }
        QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(widget);
        QStringList captions;
        for (const auto all = accessible->relations(QAccessible::Label);
             const auto& [caption, relation] : all)
            captions << caption->object()->objectName();
        const QPoint at = widget->mapTo(window.Content(), QPoint());
        const QString kind = QString::fromLatin1(widget->metaObject()->className());
        const QString rect =
            QString::asprintf("%d,%d,%d,%d", at.x(), at.y(), widget->width(), widget->height());
        const QString role = QString::number(accessible->role()) +
                             QLatin1String(accessible->state().checkable ? " checkable" : "");
        // clang-format off
        lines << QStringList{name, kind.section(QStringLiteral("::"), -1), QString::number(page),
            rect, text, align, accessible->text(QAccessible::Name), captions.join(u','), role,
            QString::number(widget->focusPolicy())}.join(u'\t');
        // clang-format on
    }
    for (const auto all = window.menuBar()->actions(); const QAction* menu : all) {
        lines << menu->menu()->objectName() + QLatin1String("\tQMenu\t") + menu->text();
        for (const auto items = menu->menu()->actions(); const QAction* item : items)
            lines << item->objectName() + QLatin1String("\tQAction\t") + item->text() + u'\t' +
                         item->shortcut().toString();
    }
    return lines;
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
        // clang-format off
        QTest::newRow("DejaVu Sans 9, the design font") << QFont(dejaVu, 9) << false;
        QTest::newRow("DejaVu Sans 11 needs wider captions") << QFont(dejaVu, 11) << false;
        QTest::newRow("DejaVu Sans 16 needs wider and taller labels") << QFont(dejaVu, 16) << false;
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

    // The window against tests/data, line by line: tools/golden rewrites the files after a
    // change of the look, to be read in the diff before it is committed.
    void windowMatchesItsGoldenRecord_data() {
        QTest::addColumn<int>("points");
        QTest::newRow("DejaVu Sans 9, the design font") << 9;
        QTest::newRow("DejaVu Sans 16, with every label and the window grown") << 16;
    }
    void windowMatchesItsGoldenRecord() {
        QFETCH(int, points);
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), points));
        window = openWindow();
        const QStringList seen = record(*window);
        QFile file(QStringLiteral(MIRAVANE_GOLDEN "/window-dejavu%1%2.tsv")
                       .arg(points)
                       .arg(kRecordSuffix));
        QVERIFY2(file.open(QIODevice::ReadWrite), qPrintable(file.fileName()));
        QStringList golden = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
        if (qEnvironmentVariableIsSet("MIRAVANE_WRITE_GOLDEN")) { // under the file's own header
            golden.removeIf([](const QString& line) { return !line.startsWith(u'#'); });
            file.resize(0);
            file.write((golden + seen).join(QLatin1Char('\n')).toUtf8() + '\n');
            golden = seen;
        }
        golden.removeIf([](const QString& line) { return line.isEmpty() || line[0] == u'#'; });
        QCOMPARE(seen, golden); // names the first line that differs
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
        QTRY_COMPARE(window->frameGeometry() & area, window->frameGeometry());
        // Dragged past the screen's far corner, it comes back whole.
        window->move(area.bottomRight() - QPoint(100, 100));
        QTRY_COMPARE(window->frameGeometry() & area, window->frameGeometry());
        // Only a screen with too little room puts the content in a scroll area.
        const auto* view = window->findChild<QScrollArea*>();
        QCOMPARE(view != nullptr, scrolls);
        const QWidget* port = view ? view->viewport() : window->Content();
        QCOMPARE(port->size() != window->Content()->size(), scrolls);
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

    // Moved to a screen with too little room, the window takes a scroll area only then, and a
    // keyboard user keeps their place. Content grown past the screen stands in for that screen.
    void aScrollAreaComesOnlyWhenNeededAndKeepsTheFocus() {
        QApplication::setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        window = openWindow();
        QVERIFY(!window->findChild<QScrollArea*>());
        auto& slider = window->Control<QWidget>("FLSlider");
        slider.setFocus(Qt::TabFocusReason);
        const QRect area = window->screen()->availableGeometry();
        window->Content()->setFixedSize(area.size() * 2);
        window->move(window->pos() + QPoint(1, 1));
        QTRY_VERIFY(window->findChild<QScrollArea*>());
        QCOMPARE(QApplication::focusWidget(), &slider);
        QTRY_COMPARE(window->frameGeometry() & area, window->frameGeometry());
    }

    void readoutsKeepTheirPointUnderACommaLocale() {
        if (!qgetenv("LC_ALL").startsWith("de_DE"))
            QSKIP("needs LC_ALL=de_DE.UTF-8: ctest -R tst_layout_comma_locale");
        // The locale is there and in use: Qt's, and on Unix the C library's too.
        QCOMPARE(QLocale::system().toString(37.5, 'f', 1), QStringLiteral("37,5"));
#ifndef Q_OS_WIN
        char printed[8];
        std::snprintf(printed, sizeof printed, "%.1f", 37.5);
        QCOMPARE(QByteArray(printed), QByteArray("37,5"));
#endif
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

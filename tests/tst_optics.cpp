// The optics calculations apart from the window: the results they store and the texts they
// hand on, for the worked examples, both optics, the inputs' far ends and the halves.
#include "optics/Optics.h"

#include <QScopeGuard>
#include <QTest>

namespace {

using V = optics::OpticsValues;

// Every text as "label=text", in the order the calculation handed them on.
class Recorder final : public optics::ReadoutSink {
public:
    void SetReadout(std::string_view label, const std::string& text) override {
        told << QString::fromUtf8(label.data(), static_cast<qsizetype>(label.size())) + u'=' +
                    QString::fromStdString(text);
    }
    QStringList told;
};

// One eyepiece's calculation, the values it reads and writes, and its labels' ending.
struct Eyepiece {
    void (*calculate)(V&, optics::ReadoutSink&);
    double V::*focalLength;
    double V::*apparentField;
    double V::*magnification;
    double V::*trueField;
    double V::*exitPupil;
    const char* labelEnd;
};
const Eyepiece kEyepieces[] = {
    {&optics::PerformCalculations, &V::EFL, &V::AFOV, &V::Magnification, &V::TFOV, &V::ExitPupil,
     ""},
    {&optics::PerformCalculations1, &V::EFL1, &V::AFOV1, &V::Magnification1, &V::TFOV1,
     &V::ExitPupil1, "1"},
};

// A stored result to 12 significant digits: unrounded, unlike its text.
QString Stored(double value) { return QString::number(value, 'g', 12); }

} // namespace

class OpticsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void eachEyepieceStoresAndShowsItsResults_data();
    // Each row runs on either eyepiece, while the other holds other inputs and marked results
    // that its calculation must leave alone.
    void eachEyepieceStoresAndShowsItsResults() {
        QFETCH(double, aperture);
        QFETCH(double, focalLength);
        QFETCH(double, eyepieceFocalLength);
        QFETCH(double, apparentField);
        QFETCH(QStringList, stored);
        QFETCH(QStringList, texts);
        for (const Eyepiece& e : kEyepieces) {
            const Eyepiece& other = kEyepieces[&e == kEyepieces ? 1 : 0];
            const auto name = qScopeGuard([&e] {
                if (QTest::currentTestFailed())
                    qInfo("on eyepiece %d", &e == kEyepieces ? 1 : 2);
            });
            V v;
            v.Aperture = aperture;
            v.FocalLength = focalLength;
            v.*e.focalLength = eyepieceFocalLength;
            v.*e.apparentField = apparentField;
            v.*other.focalLength = 7;
            v.*other.apparentField = 11;
            v.*other.magnification = v.*other.trueField = v.*other.exitPupil = -1;
            Recorder sink;
            e.calculate(v, sink);
            const QString end = QString::fromLatin1(e.labelEnd);
            QCOMPARE(sink.told,
                     QStringList(
                         {"FNumberText=" + texts[0], "MagnificationText" + end + '=' + texts[1],
                          "TFOVText" + end + '=' + texts[2], "ExitText" + end + '=' + texts[3]}));
            QCOMPARE(QStringList({Stored(v.FNumber), Stored(v.*e.magnification),
                                  Stored(v.*e.trueField), Stored(v.*e.exitPupil)}),
                     stored);
            QCOMPARE(
                QList<double>({v.*other.magnification, v.*other.trueField, v.*other.exitPupil}),
                QList<double>({-1, -1, -1}));
        }
    }
};

void OpticsTest::eachEyepieceStoresAndShowsItsResults_data() {
    QTest::addColumn<double>("aperture");
    QTest::addColumn<double>("focalLength"); // with the optic's factor, as the toggles leave it
    QTest::addColumn<double>("eyepieceFocalLength");
    QTest::addColumn<double>("apparentField");
    QTest::addColumn<QStringList>("stored"); // focal ratio, magnification, true field, exit pupil
    QTest::addColumn<QStringList>("texts");  // the same, as their labels show them
    const double barlow = optics::kBarlowOn, reducer = optics::kReducerOn;
    // clang-format off
    QTest::newRow("the start-up telescope with a 25 mm, 50˚ eyepiece shows ƒ = 10.0, x 80, 37.5' and 2.5")
        << 200.0 << 2000.0 << 25.0 << 50.0 << QStringList{"10", "80", "37.5", "2.5"} << QStringList{"ƒ = 10.0", "x 80", "37.5'", "2.5"};
    QTest::newRow("a 32 mm, 52˚ eyepiece on it magnifies x 62.5, a half shown rounded up as x 63")
        << 200.0 << 2000.0 << 32.0 << 52.0 << QStringList{"10", "62.5", "49.92", "3.2"} << QStringList{"ƒ = 10.0", "x 63", "49.9'", "3.2"};
    QTest::newRow("the 90 mm Maksutov stores its focal ratio unrounded and shows ƒ = 13.9")
        << 90.0 << 1250.0 << 25.0 << 52.0 << QStringList{"13.8888888889", "50", "62.4", "1.8"} << QStringList{"ƒ = 13.9", "x 50", "62.4'", "1.8"};
    QTest::newRow("the Barlow takes the start-up telescope to ƒ = 20.0 and x 160, and 18.75' and 1.25 round up")
        << 200.0 << 2000 * barlow << 25.0 << 50.0 << QStringList{"20", "160", "18.75", "1.25"} << QStringList{"ƒ = 20.0", "x 160", "18.8'", "1.3"};
    QTest::newRow("the reducer takes the start-up telescope to ƒ = 6.3, x 50, 59.5' and 4.0")
        << 200.0 << 2000 * reducer << 25.0 << 50.0 << QStringList{"6.3", "50.4", "59.5238095238", "3.96825396825"} << QStringList{"ƒ = 6.3", "x 50", "59.5'", "4.0"};
    QTest::newRow("the Barlow on 3000 mm at 50 mm with a 3 mm eyepiece gives the widest ratio and magnification and the smallest exit pupil")
        << 50.0 << 3000 * barlow << 3.0 << 90.0 << QStringList{"120", "2000", "2.7", "0.025"} << QStringList{"ƒ = 120.0", "x 2000", "2.7'", "0.0"};
    QTest::newRow("the reducer on 400 mm at 400 mm with a 55 mm, 90˚ eyepiece gives the smallest ratio and the widest true field and exit pupil")
        << 400.0 << 400 * reducer << 55.0 << 90.0 << QStringList{"0.63", "4.58181818182", "1178.57142857", "87.3015873016"} << QStringList{"ƒ = 0.6", "x 5", "1178.6'", "87.3"};
    QTest::newRow("400 mm at 400 mm with a 55 mm, 90˚ eyepiece and no optic gives ƒ = 1.0 and x 7")
        << 400.0 << 400.0 << 55.0 << 90.0 << QStringList{"1", "7.27272727273", "742.5", "55"} << QStringList{"ƒ = 1.0", "x 7", "742.5'", "55.0"};
    QTest::newRow("50 mm at 3000 mm with a 3 mm, 0˚ eyepiece shows no true field, and an exit pupil of 0.05 rounded up as 0.1")
        << 50.0 << 3000.0 << 3.0 << 0.0 << QStringList{"60", "1000", "0", "0.05"} << QStringList{"ƒ = 60.0", "x 1000", "0.0'", "0.1"};
    QTest::newRow("a focal ratio of 6.85, a hair below in binary, shows its half rounded up")
        << 60.0 << 411.0 << 3.0 << 90.0 << QStringList{"6.85", "137", "39.4160583942", "0.43795620438"} << QStringList{"ƒ = 6.9", "x 137", "39.4'", "0.4"};
    QTest::newRow("a true field of 41.25' and an exit pupil of 2.75, each a hair below in binary, show their halves rounded up")
        << 200.0 << 2000 * barlow << 55.0 << 50.0 << QStringList{"20", "72.7272727273", "41.25", "2.75"} << QStringList{"ƒ = 20.0", "x 73", "41.3'", "2.8"};
    // clang-format on
}

QTEST_APPLESS_MAIN(OpticsTest)
#include "tst_optics.moc"

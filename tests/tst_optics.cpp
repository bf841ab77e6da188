#include "optics/Optics.h"

#include <QTest>

#include <map>

namespace {

// Keeps the read-out texts by label name, as the window's labels would.
struct Readouts : optics::ReadoutSink {
    std::map<std::string, std::string, std::less<>> texts;
    void SetReadout(std::string_view label, const std::string& text) override {
        texts.insert_or_assign(std::string(label), text);
    }
    QString operator[](std::string_view label) const {
        const auto it = texts.find(label);
        return it == texts.end() ? QStringLiteral("<unset>") : QString::fromStdString(it->second);
    }
};

optics::OpticsValues Values(double aperture, double focalLength, double efl, double afov,
                            double efl1, double afov1) {
    optics::OpticsValues v;
    v.Aperture = aperture;
    v.FocalLength = focalLength;
    v.EFL = efl;
    v.AFOV = afov;
    v.EFL1 = efl1;
    v.AFOV1 = afov1;
    return v;
}

} // namespace

class OpticsTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readoutsOfBothEyepieces_data();
    void readoutsOfBothEyepieces();
    void eachCalculationLeavesTheOtherEyepieceAlone();
};

void OpticsTest::readoutsOfBothEyepieces_data() {
    QTest::addColumn<double>("aperture");
    QTest::addColumn<double>("focalLength");
    QTest::addColumn<double>("efl");
    QTest::addColumn<double>("afov");
    QTest::addColumn<QStringList>("eyepiece1"); // f-ratio, magnification, true field, exit pupil
    QTest::addColumn<QStringList>("eyepiece2");

    QTest::newRow("a 90 mm Maksutov with a 25 mm eyepiece")
        << 90.0 << 1250.0 << 25.0 << 52.0
        << QStringList{QStringLiteral("ƒ = 13.9"), QStringLiteral("x 50"), QStringLiteral("62.4'"),
                       QStringLiteral("1.8")}
        << QStringList{QStringLiteral("ƒ = 13.9"), QStringLiteral("x 39"), QStringLiteral("79.9'"),
                       QStringLiteral("2.3")};
    QTest::newRow("the reducer at 400 mm on a 400 mm aperture")
        << 400.0 << 400.0 * 0.63 << 55.0 << 0.0
        << QStringList{QStringLiteral("ƒ = 0.6"), QStringLiteral("x 5"), QStringLiteral("0.0'"),
                       QStringLiteral("87.3")}
        << QStringList{QStringLiteral("ƒ = 0.6"), QStringLiteral("x 8"), QStringLiteral("396.2'"),
                       QStringLiteral("50.8")};
    QTest::newRow("the Barlow at 3000 mm with a 3 mm eyepiece and a 50 mm aperture")
        << 50.0 << 6000.0 << 3.0 << 90.0
        << QStringList{QStringLiteral("ƒ = 120.0"), QStringLiteral("x 2000"),
                       QStringLiteral("2.7'"), QStringLiteral("0.0")}
        << QStringList{QStringLiteral("ƒ = 120.0"), QStringLiteral("x 188"),
                       QStringLiteral("16.6'"), QStringLiteral("0.3")};
}

void OpticsTest::readoutsOfBothEyepieces() {
    QFETCH(double, aperture);
    QFETCH(double, focalLength);
    QFETCH(double, efl);
    QFETCH(double, afov);
    QFETCH(QStringList, eyepiece1);
    QFETCH(QStringList, eyepiece2);

    auto v = Values(aperture, focalLength, efl, afov, 32, 52);
    Readouts out;
    optics::PerformCalculations(v, out);
    QCOMPARE(out["FNumberText"], eyepiece1[0]);
    QCOMPARE(out["MagnificationText"], eyepiece1[1]);
    QCOMPARE(out["TFOVText"], eyepiece1[2]);
    QCOMPARE(out["ExitText"], eyepiece1[3]);
    optics::PerformCalculations1(v, out);
    QCOMPARE(out["FNumberText"], eyepiece2[0]);
    QCOMPARE(out["MagnificationText1"], eyepiece2[1]);
    QCOMPARE(out["TFOVText1"], eyepiece2[2]);
    QCOMPARE(out["ExitText1"], eyepiece2[3]);
    QCOMPARE(out.texts.size(), std::size_t(7));
}

void OpticsTest::eachCalculationLeavesTheOtherEyepieceAlone() {
    auto v = Values(200, 2000, 25, 50, 32, 52);
    Readouts out;
    optics::PerformCalculations(v, out);
    QCOMPARE(out.texts.size(), std::size_t(4));
    QCOMPARE(v.Magnification1, 0.0);
    QCOMPARE(v.TFOV1, 0.0);
    QCOMPARE(v.ExitPupil1, 0.0);

    optics::PerformCalculations1(v, out);
    const auto before = out.texts;
    const double magnification = v.Magnification, trueField = v.TFOV, exitPupil = v.ExitPupil;
    v.EFL1 = 10;
    v.AFOV1 = 82;
    optics::PerformCalculations1(v, out);
    QCOMPARE(v.Magnification, magnification);
    QCOMPARE(v.TFOV, trueField);
    QCOMPARE(v.ExitPupil, exitPupil);
    for (const char* label : {"MagnificationText", "TFOVText", "ExitText"})
        QCOMPARE(out[label], QString::fromStdString(before.at(label)));
    QCOMPARE(out["MagnificationText1"], QStringLiteral("x 200"));
    QCOMPARE(v.TFOV1, (60.0 * 82) / 200.0); // stored as computed, not as shown
}

QTEST_GUILESS_MAIN(OpticsTest)
#include "tst_optics.moc"

#include "runtime/Format.h"

#include <QTest>

#include <cmath>
#include <limits>
#include <stdexcept>

class FormatTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void formatsByMask_data();
    void formatsByMask() {
        QFETCH(double, value);
        QFETCH(QString, mask);
        QFETCH(QString, expected);
        QCOMPARE(QString::fromStdString(runtime::Format(value, mask.toStdString())), expected);
    }
    void rejectsMasksOfAnotherShape() {
        for (const char* mask : {"", ".0", "##.", "#x#", "#.0000000"})
            QVERIFY_THROWS_EXCEPTION(std::invalid_argument, runtime::Format(1.5, mask));
    }
};

void FormatTest::formatsByMask_data() {
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    struct Row {
        const char* name;
        double value;
        const char* mask;
        const char* expected;
    };
    const Row rows[] = {
        {"a whole number fills only the digits it needs", 7, "###", "7"},
        {"zero under a digit mask is a single 0", 0, "###", "0"},
        {"the integer part is shown whole past the mask", 6000, "###", "6000"},
        {"an exact half rounds away from zero", 62.5, "###", "63"},
        {"an exact half of the reducer rounds up", 787.5, "###", "788"},
        {"an exact half at one decimal rounds away from zero", 0.25, "##.0", "0.3"},
        {"a half carries through nines", 999.5, "###", "1000"},
        {"a negative half rounds away from zero", -62.5, "###", "-63"},
        {"a half a last bit below in binary is still a half", 62.499999999999993, "###", "63"},
        {"a decimal half stored below it in binary rounds up", 9.95, "##.0", "10.0"},
        {"a decimal half stored above it in binary rounds up", 99.95, "##.0", "100.0"},
        {"rounding carries into a new digit", 9.96, "##.0", "10.0"},
        {"a value off the half in the 14th digit still rounds down", 41.2499999999999, "###.0",
         "41.2"},
        {"an exact half past 15 digits still rounds up", 4503599627370495.5, "###",
         "4503599627370496"},
        {"an exact half just past 15 digits rounds up", 100000000000000.5, "###",
         "100000000000001"},
        {"a half in the first digit shown, stored below, rounds up", 5e-7, "#.000000", "0.000001"},
        {"the smallest exit pupil rounds down to 0.0", 0.025, "##.0", "0.0"},
        {"a huge value is written out in full", 1e20, "###", "100000000000000000000"},
        {"not a number", std::nan(""), "###.0", "NaN"},
        {"positive infinity", inf, "###", "INF"},
        {"negative infinity", -inf, "##.0", "-INF"},
    };
    for (const Row& row : rows)
        QTest::newRow(row.name) << row.value << QString::fromLatin1(row.mask)
                                << QString::fromLatin1(row.expected);
}

QTEST_GUILESS_MAIN(FormatTest)
#include "tst_format.moc"

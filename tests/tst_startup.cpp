#include <QProcess>
#include <QTest>

// Runs the program's start-up in a child process, so that quitting and failing end a
// process of their own and their exit status can be read.
class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void endsWithItsStatus_data();
    void endsWithItsStatus();
    void asksForTheWindowOnlyOnce();

private:
    struct Result {
        int status;
        QString out, err;
    };
    static Result run(const QStringList& arguments);
};

StartupTest::Result StartupTest::run(const QStringList& arguments) {
    QProcess child;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral(STARTUP_CHILD), arguments);
    if (!child.waitForFinished(20000)) {
        child.kill();
        child.waitForFinished();
        return {-1, {}, QStringLiteral("timed out")};
    }
    if (child.exitStatus() != QProcess::NormalExit)
        return {-2, {}, QStringLiteral("crashed")};
    return {child.exitCode(), QString::fromUtf8(child.readAllStandardOutput()),
            QString::fromUtf8(child.readAllStandardError())};
}

void StartupTest::endsWithItsStatus_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stderrHas");
    QTest::newRow("Ctrl+Q quits with status 0") << QStringList{"quit"} << 0 << QString();
    QTest::newRow("closing the only window ends the program with status 0")
        << QStringList{"close"} << 0 << QString();
    QTest::newRow("arguments of its own change nothing")
        << QStringList{"quit", "--reset", "file.txt"} << 0 << QString();
    QTest::newRow("an error in a handler is reported and ends with status 1")
        << QStringList{"fault"} << 1
        << "unhandled error: NilObjectException: no object named \"FNumberText\"";
}

void StartupTest::endsWithItsStatus() {
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, stderrHas);
    const Result result = run(arguments);
    QVERIFY2(result.status == status, qPrintable(result.err));
    if (!stderrHas.isEmpty())
        QVERIFY2(result.err.contains(stderrHas), qPrintable(result.err));
}

void StartupTest::asksForTheWindowOnlyOnce() {
    const Result result = run({"twice"});
    QCOMPARE(result.status, 0);
    QCOMPARE(result.out, QStringLiteral("same window: yes\n"));
}

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"

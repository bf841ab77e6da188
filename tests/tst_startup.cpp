#include <QCoreApplication>
#include <QProcess>
#include <QTest>

// Runs the program's start-up in a child process, so that quitting and failing end a
// process of their own and their exit status and output can be read.
class StartupTest : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { qputenv("QT_QPA_PLATFORM", "offscreen"); } // for the child
    void endsWithItsStatus_data() {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("output"); // what stdout and stderr must hold
        QTest::newRow("Ctrl+Q quits with status 0") << QStringList{"quit"} << 0 << QString();
        QTest::newRow("closing the only window ends the program with status 0")
            << QStringList{"close"} << 0 << QString();
        QTest::newRow("the window has its icon") << QStringList{"icon"} << 0 << "icon: drawn";
        // Every desktop but X11 and Wayland gives native scan codes that are no X keycodes.
        QTest::newRow("off X11, Ctrl with a key's scan code is no US key by X's numbering")
            << QStringList{"native-key"} << 0 << "aperture: 200 mm";
        QTest::newRow("asking for the window again gives the same window")
            << QStringList{"twice"} << 0 << "same window: yes";
        QTest::newRow("an error in a handler is reported and ends with status 1")
            << QStringList{"fault"} << 1
            << "unhandled error: NilObjectException: no object named \"FNumberText\"";
    }

    void endsWithItsStatus() {
        QFETCH(QStringList, arguments);
        QFETCH(int, status);
        QFETCH(QString, output);
        QProcess child;
        child.setProcessChannelMode(QProcess::MergedChannels);
        // Built beside this test; Windows adds the .exe.
        child.start(QCoreApplication::applicationDirPath() + QLatin1String("/startup_child"),
                    arguments);
        if (!child.waitForFinished(20000))
            child.kill();
        const QString said = QString::fromUtf8(child.readAll());
        QVERIFY2(child.exitStatus() == QProcess::NormalExit,
                 qPrintable("crashed or hung: " + said));
        QVERIFY2(child.exitCode() == status, qPrintable(said));
        QVERIFY2(said.contains(output), qPrintable(said));
    }
};

QTEST_GUILESS_MAIN(StartupTest)
#include "tst_startup.moc"

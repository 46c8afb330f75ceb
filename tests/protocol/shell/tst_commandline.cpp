#include "shell/commandline.h"

#include <QTextStream>
#include <QtTest>

class TestCommandLine : public QObject {
    Q_OBJECT
private slots:
    void handle_data();
    void handle();
};

void TestCommandLine::handle_data() {
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<bool>("exits");
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("out"); // what stdout starts with
    QTest::addColumn<QString>("err"); // what stderr starts with

    const QString none;
    const QString version = "dk61-pc-tool 9.8.7\n";
    const QString usage = "Usage: dk61-pc-tool [--help] [--version] [Qt options]\n";
    QTest::newRow("no arguments") << QStringList() << false << 0 << none << none;
    QTest::newRow("--version") << QStringList{"--version"} << true << 0 << version << none;
    QTest::newRow("-v") << QStringList{"-v"} << true << 0 << version << none;
    QTest::newRow("--help") << QStringList{"--help"} << true << 0 << usage + "Watches flags.\n"
                            << none;
    QTest::newRow("-h wins over -v") << QStringList{"-v", "-h"} << true << 0 << usage << none;
    QTest::newRow("Qt option, two dashes")
        << QStringList{"--platform", "offscreen", "--reverse"} << false << 0 << none << none;
    QTest::newRow("Qt option, one dash")
        << QStringList{"-platform", "offscreen"} << false << 0 << none << none;
    QTest::newRow("Qt option with =")
        << QStringList{"--style=fusion"} << false << 0 << none << none;
    QTest::newRow("a Qt option's value is no option")
        << QStringList{"--qwindowtitle", "--help"} << false << 0 << none << none;
    QTest::newRow("other words are left alone")
        << QStringList{"-x", "file", "-"} << false << 0 << none << none;
    QTest::newRow("unknown option") << QStringList{"--frobnicate"} << true << 2 << none
                                    << "dk61-pc-tool: unknown option '--frobnicate'\n" + usage;
    QTest::newRow("unknown option beside --version")
        << QStringList{"--version", "--verbose"} << true << 2 << none
        << QString("dk61-pc-tool: unknown option '--verbose'\n");
    QTest::newRow("-- ends the options")
        << QStringList{"--", "--frobnicate", "--help"} << false << 0 << none << none;
}

void TestCommandLine::handle() {
    QFETCH(QStringList, arguments);
    QFETCH(bool, exits);
    QFETCH(int, code);
    QFETCH(QString, out);
    QFETCH(QString, err);

    QString outText;
    QString errText;
    QTextStream outStream(&outText);
    QTextStream errStream(&errText);
    CommandLine commandLine("dk61-pc-tool", "9.8.7", "Watches flags.");
    QCOMPARE(commandLine.handle(arguments, outStream, errStream), exits);
    QCOMPARE(commandLine.exitCode(), code);
    QVERIFY2(outText.startsWith(out) && outText.isEmpty() == out.isEmpty(), qPrintable(outText));
    QVERIFY2(errText.startsWith(err) && errText.isEmpty() == err.isEmpty(), qPrintable(errText));
}

QTEST_APPLESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"

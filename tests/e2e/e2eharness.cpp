#include "e2eharness.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>

#include <unistd.h>

QString E2eHarness::binary(const QString& name) {
    const QString dir = qEnvironmentVariable("DK61_BIN_DIR");
    return dir.isEmpty() ? QString() : dir + QLatin1Char('/') + name;
}

bool E2eHarness::waitUntil(const std::function<bool()>& done, int timeoutMs) {
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (done())
            return true;
        if (timer.elapsed() >= timeoutMs)
            return false;
        QTest::qWait(20);
    }
}

double E2eHarness::cpuSeconds(qint64 pid) {
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray text = stat.readAll();
    // The command name is in parentheses and may hold blanks; the fields after it are
    // state (3), ..., utime (14), stime (15).
    const int close = text.lastIndexOf(')');
    if (close < 0)
        return -1.0;
    const QList<QByteArray> fields = text.mid(close + 2).split(' ');
    if (fields.size() < 13)
        return -1.0;
    const double ticks = fields.at(11).toDouble() + fields.at(12).toDouble();
    return ticks / double(sysconf(_SC_CLK_TCK));
}

QList<int> E2eHarness::recordCounts(const QByteArray& frame) {
    if (frame.size() < 2)
        return {};
    const quint8 code = quint8(frame[0]);
    if (code != 0xC6 && code != 0xA9)
        return {};
    auto byte = [&](int i) { return int(quint8(frame[2 + i])); };
    auto word = [&](int hi, int lo) { return int(qint16(quint16(byte(hi) << 8 | byte(lo)))); };
    if (frame.size() == 8 && frame[1] == 6)
        return {word(0, 1), byte(2), byte(3), byte(4), byte(5)};
    if (frame.size() == 14 && frame[1] == 12)
        return {word(0, 1), word(2, 3), word(4, 5), word(6, 7), word(8, 9)};
    return {};
}

bool E2eHarness::parseFlagRow(const QString& row, QString* stamp, QList<int>* counts) {
    static const QRegularExpression form(
        QStringLiteral("^(\\d\\d:\\d\\d:\\d\\d),\\t(-?\\d+),\\t(-?\\d+),\\t(-?\\d+),\\t(-?\\d+),"
                       "\\t(-?\\d+)$"));
    const QRegularExpressionMatch m = form.match(row);
    if (!m.hasMatch())
        return false;
    *stamp = m.captured(1);
    counts->clear();
    for (int i = 2; i <= 6; ++i)
        counts->append(m.captured(i).toInt());
    return true;
}

bool E2eHarness::parseLogLine(const QString& line, QString* stamp, bool* sent, QByteArray* bytes) {
    static const QRegularExpression form(
        QStringLiteral("^\\[(\\d\\d:\\d\\d:\\d\\d)\\](PC-Tool: |DK-61  : )((?:[0-9A-F]{2}  )+)$"));
    const QRegularExpressionMatch m = form.match(line);
    if (!m.hasMatch())
        return false;
    *stamp = m.captured(1);
    *sent = m.captured(2).startsWith(QLatin1String("PC-Tool"));
    *bytes = QByteArray::fromHex(m.captured(3).toLatin1());
    return true;
}

QString E2eHarness::hex(const QByteArray& bytes) {
    return QString::fromLatin1(bytes.toHex(' ').toUpper());
}

bool E2eHarness::readsPdf() {
    return !QStandardPaths::findExecutable("pdftotext").isEmpty();
}

QString E2eHarness::pdfText(const QString& pdf) {
    if (!readsPdf() || QProcess::execute("pdftotext", {"-layout", pdf, pdf + ".txt"}) != 0)
        return QString();
    QFile txt(pdf + ".txt");
    return txt.open(QIODevice::ReadOnly) ? QString(txt.readAll()).simplified() : QString();
}

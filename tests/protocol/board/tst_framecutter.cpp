#include "board/framecutter.h"

#include <QElapsedTimer>
#include <QtTest>

namespace {

QByteArray hex(const char* text) {
    return QByteArray::fromHex(QByteArray(text));
}

struct Cut {
    QList<QByteArray> frames;
    QByteArray rest;
    qint64 negativeLengths = 0;
};

// Feeds the chunks one pass each, as the port delivers them, compacting after every pass.
Cut feed(const QList<QByteArray>& chunks) {
    Cut cut;
    QByteArray buffer;
    for (const QByteArray& chunk : chunks) {
        FrameCutter cutter(buffer);
        cutter.append(chunk);
        QByteArray frame;
        while (cutter.next(frame) == FrameCutter::Step::Frame)
            cut.frames.append(frame);
        cutter.compact();
        cut.negativeLengths += cutter.negativeLengths;
    }
    cut.rest = buffer;
    return cut;
}

} // namespace

class tst_framecutter : public QObject {
    Q_OBJECT

private slots:
    void acceptedCodes_data() {
        QTest::addColumn<int>("from");
        QTest::addColumn<int>("to");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("00..97") << 0x00 << 0x97 << false;
        QTest::newRow("98..99") << 0x98 << 0x99 << true;
        QTest::newRow("9A..9F") << 0x9A << 0x9F << false;
        QTest::newRow("A0..AF") << 0xA0 << 0xAF << true;
        QTest::newRow("B0") << 0xB0 << 0xB0 << false;
        QTest::newRow("B1..B8") << 0xB1 << 0xB8 << true;
        QTest::newRow("B9") << 0xB9 << 0xB9 << false;
        QTest::newRow("BA..BE") << 0xBA << 0xBE << true;
        QTest::newRow("BF") << 0xBF << 0xBF << false;
        QTest::newRow("C0..CB") << 0xC0 << 0xCB << true;
        QTest::newRow("CC") << 0xCC << 0xCC << false;
        QTest::newRow("CD") << 0xCD << 0xCD << true;
        QTest::newRow("CE..FF") << 0xCE << 0xFF << false;
    }
    void acceptedCodes() {
        QFETCH(int, from);
        QFETCH(int, to);
        QFETCH(bool, accepted);
        for (int byte = from; byte <= to; ++byte)
            QVERIFY2(FrameCutter::isAcceptedCode(static_cast<quint8>(byte)) == accepted,
                     qPrintable(QString::number(byte, 16)));
    }

    // Every stream is cut the same way however the port splits it: in one chunk, in two chunks
    // at every split point, and byte by byte.
    void stream_data() {
        QTest::addColumn<QByteArray>("stream");
        QTest::addColumn<QList<QByteArray>>("frames");
        QTest::addColumn<QByteArray>("rest");
        QTest::addColumn<int>("negativeLengths");
        using L = QList<QByteArray>;
        QTest::newRow("frame then waiting code")
            << hex("A30105A0") << L{hex("A30105")} << hex("A0") << 0;
        QTest::newRow("two frames back to back")
            << hex("A30105A000") << L{hex("A30105"), hex("A000")} << QByteArray() << 0;
        QTest::newRow("lone code waits") << hex("A3") << L{} << hex("A3") << 0;
        QTest::newRow("too short waits") << hex("A30201") << L{} << hex("A30201") << 0;
        QTest::newRow("complete") << hex("A3020102") << L{hex("A3020102")} << QByteArray() << 0;
        QTest::newRow("negative length drops only the code")
            << hex("A385A000") << L{hex("A000")} << QByteArray() << 1;
        QTest::newRow("negative length at the end") << hex("A380") << L{} << QByteArray() << 1;
        QTest::newRow("code as length") << hex("A0A100") << L{hex("A100")} << QByteArray() << 1;
        QTest::newRow("garbage before a frame")
            << hex("007F6062B0A000") << L{hex("A000")} << QByteArray() << 0;
        QTest::newRow("every rejected code")
            << hex("B0B9BFCCCEFF9A9F97009800") << L{hex("9800")} << QByteArray() << 0;
        QTest::newRow("debug text then a frame")
            << (hex("CC") + QByteArray("Servo ok\r\n") + hex("A30107")) << L{hex("A30107")}
            << QByteArray() << 0;
        QTest::newRow("accepted code boundaries")
            << hex("9900AF00B100B800BA00BE00C000CB00CD00")
            << L{hex("9900"), hex("AF00"), hex("B100"), hex("B800"), hex("BA00"),
                 hex("BE00"), hex("C000"), hex("CB00"), hex("CD00")}
            << QByteArray() << 0;
        QByteArray longest = hex("C67F") + QByteArray(127, '\x11');
        QTest::newRow("longest frame") << longest << L{longest} << QByteArray() << 0;
        QByteArray cflag = hex("C60C000100020003000400050106");
        QTest::newRow("CFLAG frame with a partial one behind")
            << cflag + hex("C60C00") << L{cflag} << hex("C60C00") << 0;
        QTest::newRow("parameter bytes that look like codes")
            << hex("A302A0A1B100") << L{hex("A302A0A1"), hex("B100")} << QByteArray() << 0;
    }
    void stream() {
        QFETCH(QByteArray, stream);
        QFETCH(QList<QByteArray>, frames);
        QFETCH(QByteArray, rest);
        QFETCH(int, negativeLengths);

        const Cut whole = feed({stream});
        QCOMPARE(whole.frames, frames);
        QCOMPARE(whole.rest.toHex(), rest.toHex());
        QCOMPARE(whole.negativeLengths, qint64(negativeLengths));

        for (int split = 1; split < stream.size(); ++split) {
            const Cut two = feed({stream.left(split), stream.mid(split)});
            QVERIFY2(two.frames == frames, qPrintable(QString("split at %1").arg(split)));
            QCOMPARE(two.rest.toHex(), rest.toHex());
        }
        QList<QByteArray> bytes;
        for (char c : stream)
            bytes.append(QByteArray(1, c));
        const Cut single = feed(bytes);
        QCOMPARE(single.frames, frames);
        QCOMPARE(single.rest.toHex(), rest.toHex());
    }

    void pendingBytesAreWhatIsLeft() {
        QByteArray buffer = hex("00A30105A002");
        FrameCutter cutter(buffer);
        QVERIFY(!cutter.startsWith(0xA3));
        QByteArray frame;
        QCOMPARE(cutter.next(frame), FrameCutter::Step::Frame);
        QCOMPARE(cutter.pending(), hex("A002"));
        QVERIFY(cutter.startsWith(0xA0));
        QCOMPARE(cutter.next(frame), FrameCutter::Step::NeedMore);
        // Nothing leaves the buffer before the pass is over.
        QCOMPARE(buffer, hex("00A30105A002"));
        cutter.compact();
        QCOMPARE(buffer, hex("A002"));
    }

    // A long run of bytes that cannot start a frame costs one pass over the data, not one move
    // of the buffer per byte.
    void discardingIsLinear() {
        QByteArray noise(4 * 1024 * 1024, '\x55');
        noise.append(hex("A000"));
        QElapsedTimer timer;
        timer.start();
        const Cut cut = feed({noise});
        QCOMPARE(cut.frames, QList<QByteArray>{hex("A000")});
        QVERIFY2(timer.elapsed() < 2000, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(tst_framecutter)
#include "tst_framecutter.moc"

#include "flags/cflags.h"
#include "flags/subroutine.h"
#include "flags/testroutine.h"
#include "main/control_panel.h"
#include "testenv.h"
#include "windowfixture.h"

#include <QtTest>

#include <memory>

namespace {

std::unique_ptr<CFlags> record(quint16 track, int playSecond, quint16 c1) {
    return std::make_unique<CFlags>(c1, quint16(c1 + 1), quint16(c1 + 2), quint16(c1 + 3),
                                    quint16(c1 + 4), track, QTime(),
                                    QTime(0, 0, 0).addSecs(playSecond), 0);
}

} // namespace

class tst_testroutine : public QObject {
    Q_OBJECT

private slots:
    void subRoutine_accumulatesOverItsSpan() {
        SubRoutine sub(1, SubRoutine::ActiveMode, 3, 12);
        sub.parseCFlags(record(1, 2, 50).get()); // before the span
        QCOMPARE(sub.c1Flags, 0);
        sub.parseCFlags(record(1, 3, 10).get()); // first second: take the counts
        QCOMPARE(sub.c1Flags, 10);
        QCOMPARE(sub.interpolationFlags, 14);
        sub.parseCFlags(record(1, 5, 1).get()); // inside: add
        sub.parseCFlags(record(1, 11, 2).get());
        QCOMPARE(sub.c1Flags, 13);
        QCOMPARE(sub.c1Uncorrectable, 11 + 2 + 3);
        QCOMPARE(sub.interpolationFlags, 14 + 5 + 6);
        sub.parseCFlags(record(2, 6, 100).get());  // another track
        sub.parseCFlags(record(1, 13, 100).get()); // after the span
        QCOMPARE(sub.c1Flags, 13);
        sub.parseCFlags(record(1, 12, 7).get()); // last second: take the counts again
        QCOMPARE(sub.c1Flags, 7);
        QCOMPARE(sub.c2Uncorrectable, 10);
    }

    void subRoutine_actsOnlyInMode20_data() {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("expected");
        QTest::newRow("mode 20") << 20 << 9;
        QTest::newRow("mode 2") << 2 << 0;
        QTest::newRow("mode 9") << 9 << 0;
    }
    void subRoutine_actsOnlyInMode20() {
        QFETCH(int, mode);
        QFETCH(int, expected);
        SubRoutine sub(1, mode, 3, 12);
        sub.parseCFlags(record(1, 3, 9).get());
        QCOMPARE(sub.c1Flags, expected);
    }

    void window_hasThreeSubRoutines_firstReceivesRecords() {
        WindowFixture fx;
        fx.start();
        Control_Panel& w = *fx.window;
        QVERIFY(w.findChild<TestRoutine*>());
        const QList<SubRoutine*>& subs = w.findChild<TestRoutine*>()->subRoutines;
        QCOMPARE(subs.size(), 3);
        const int expected[3][4] = {{1, 2, 3, 12}, {3, 3, 3, 6}, {2, 9, 3, 11}};
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(subs[i]->id, expected[i][0]);
            QCOMPARE(subs[i]->mode, expected[i][1]);
            QCOMPARE(subs[i]->startSecond, expected[i][2]);
            QCOMPARE(subs[i]->endSecond, expected[i][3]);
        }
        // As delivered no sub-routine acts.
        auto r = record(1, 3, 9);
        emit w.recievedCFlags(r.get());
        QCOMPARE(subs[0]->c1Flags, 0);
        // The records reach the first sub-routine only.
        for (SubRoutine* sub : subs) {
            sub->mode = SubRoutine::ActiveMode;
            sub->id = 1;
        }
        emit w.recievedCFlags(r.get());
        QCOMPARE(subs[0]->c1Flags, 9);
        QCOMPARE(subs[1]->c1Flags, 0);
        QCOMPARE(subs[2]->c1Flags, 0);
    }
};

QTEST_MAIN(tst_testroutine)
#include "tst_testroutine.moc"

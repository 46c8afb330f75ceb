#include "audiobyte.h"
#include "eepromprogramming.h"
#include "focus_coefs.h"
#include "framehex.h"
#include "productionrecord.h"
#include "servolists.h"

#include <QtTest>

using List = ServoLists::List;
Q_DECLARE_METATYPE(List)

class tst_productionlogic : public QObject {
    Q_OBJECT

private slots:
    void audioByte_data() {
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("radio"); // empty: the format has no radio button
        QTest::addColumn<int>("clock");
        QTest::addColumn<int>("flags");
        QTest::addColumn<int>("deemphasis");
        QTest::newRow("F3") << 0xF3 << "rB0011" << 3 << 1 << 1;
        QTest::newRow("5E") << 0x5E << "rB1110" << 1 << 1 << 0;
        QTest::newRow("A1") << 0xA1 << "" << 2 << 0 << 1;
    }
    void audioByte() {
        QFETCH(int, value);
        QFETCH(QString, radio);
        QFETCH(int, clock);
        QFETCH(int, flags);
        QFETCH(int, deemphasis);
        const AudioByte::Choices c = AudioByte::takeApart(quint8(value));
        QCOMPARE(AudioByte::hasFormat(c.format) ? AudioByte::radioName(c.format) : QString(),
                 radio);
        QCOMPARE(QList<int>({c.clockAccuracy, c.ebuFlags, c.deemphasis}),
                 QList<int>({clock, flags, deemphasis}));
        QCOMPARE(AudioByte::text(AudioByte::compose(c)), QTest::currentDataTag());
    }

    void parseAudioByteField_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("value"); // -1: refused
        QTest::newRow("two digits") << "F3" << 0xF3;
        QTest::newRow("one digit") << "f" << 0x0F;
        QTest::newRow("blanks around") << " 5e " << 0x5E;
        QTest::newRow("empty") << "" << -1;
        QTest::newRow("three digits") << "1F3" << -1;
        QTest::newRow("not hexadecimal") << "G1" << -1;
    }
    void parseAudioByteField() {
        QFETCH(QString, text);
        QFETCH(int, value);
        quint8 parsed = 0xAA;
        QCOMPARE(AudioByte::parse(text, &parsed), value >= 0);
        QCOMPARE(int(parsed), value >= 0 ? value : 0xAA);
    }

    void focusCoefficient() {
        Focus_Coefs coefs;
        coefs.handle_combobox_lead_length(3);
        coefs.handle_combobox_ca_start(5);
        QCOMPARE(int(coefs.coefficient()), 0xCB);
        coefs.handle_combobox_lead_length(16); // out of range: only the CA start stays
        QCOMPARE(int(coefs.coefficient()), 0x0A);
    }

    void servoLists_data() {
        QTest::addColumn<List>("list");
        QTest::addColumn<int>("items");
        QTest::addColumn<int>("data");
        QTest::addColumn<QString>("text");
        QTest::newRow("lead length 3") << List::FocLeadLength << 16 << 3 << "21.3";
        QTest::newRow("focus gain 3") << List::FocusGain << 255 << 3 << "682.67";
        QTest::newRow("focus gain 203") << List::FocusGain << 255 << 203 << "10.09";
        QTest::newRow("radial lead 2") << List::RadLeadLength << 16 << 2 << "64.0";
        QTest::newRow("sledge 16") << List::SledgeGain << 16 << 16 << "36";
    }
    void servoLists() {
        QFETCH(List, list);
        QFETCH(int, items);
        QFETCH(int, data);
        QFETCH(QString, text);
        const QVector<ServoLists::Item> all = ServoLists::items(list);
        QCOMPARE(all.size(), items);
        const auto it = std::find_if(all.begin(), all.end(),
                                     [data](const ServoLists::Item& i) { return i.data == data; });
        QVERIFY(it != all.end());
        QCOMPARE(it->text, text);
    }

    void stepPlan_data() {
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("writes");
        QTest::addColumn<QString>("readBack");
        QTest::addColumn<QList<int>>("progressTimeoutState");
        QTest::newRow("0") << 0 << "60 0A 22 00 FF FF FF FF FF FF FF FF FF FF"
                           << "" << QList<int>{1, 3000, 11};
        QTest::newRow("1") << 1
                           << "60 0C 00 00 00 00 00 00 00 00 00 00 00 00 00 00"
                              "|60 04 00 0C 00 00 00 00"
                           << "62 10 00 00" << QList<int>{1, 1000, 1};
        QTest::newRow("3") << 3 << "60 08 0F 08 CD CC CC 3D 00 00 A0 40"
                           << "62 08 0F 08" << QList<int>{2, 1000, 3};
        QTest::newRow("5") << 5 << "60 08 10 00 01 02 03 04 05 06 07 08"
                           << "62 08 10 00" << QList<int>{3, 1000, 5};
        QTest::newRow("7") << 7 << "60 09 21 00 F3 00 00 00 82 5A 00 00 01"
                           << "62 09 21 00" << QList<int>{4, 1000, 7};
        QTest::newRow("8") << 8 << "60 01 11 00 01"
                           << "62 01 11 00" << QList<int>{5, 1000, 8};
        QTest::newRow("9") << 9 << ""
                           << "" << QList<int>{6, 0, 0};
    }
    void stepPlan() {
        QFETCH(int, step);
        QFETCH(QString, writes);
        QFETCH(QString, readBack);
        QFETCH(QList<int>, progressTimeoutState);
        // k, d, production record, audio byte, loader, spare byte, baud flag, focus hardware
        const EepromProgramming::Image image{0.1f, 5.0f, {1, 2, 3, 4, 5, 6, 7, 8}, 0xF3, 0x82, 0x5A,
                                             0x01, 0x01};
        const EepromProgramming::Step plan = EepromProgramming::stepPlan(step, image);
        QVERIFY(plan.valid && !plan.text.isEmpty());
        QStringList sent;
        for (const QByteArray& frame : plan.writes)
            sent << FrameHex::text(frame);
        QCOMPARE(sent.join('|'), writes);
        QCOMPARE(FrameHex::text(plan.readBack), readBack);
        QCOMPARE(QList<int>({plan.progress, plan.timeoutMs, plan.state}), progressTimeoutState);
        for (int none : {-1, 2, 4, 6, 10, 11})
            QVERIFY(!EepromProgramming::stepPlan(none, image).valid);
    }

    void refusals() {
        QVERIFY(EepromProgramming::notReadyText(true, true, true).isEmpty());
        const QString notRead = EepromProgramming::notReadyText(false, true, false);
        QVERIFY(notRead.contains("settings block") && notRead.contains("loader"));
        QVERIFY(!notRead.contains("focus"));
        float k = -1;
        float d = -1;
        for (const char* text : {"", "inf", "1e39"})
            QVERIFY(!EepromProgramming::laserFromTexts("0.1", text, &k, &d, nullptr));
        QCOMPARE(k, -1.0f);
    }

    void productionRecord() {
        QCOMPARE(ProductionRecord::dateText(0), QString("Fri Sep 22 2017"));
        QCOMPARE(ProductionRecord::nextSerialNumber("41"), quint16(42));
        QCOMPARE(ProductionRecord::nextSerialNumber("65535"), quint16(0));
        QCOMPARE(ProductionRecord::nextSerialNumber("abc"), quint16(1));
    }
};

QTEST_GUILESS_MAIN(tst_productionlogic)
#include "tst_productionlogic.moc"

#include "board/boardstate.h"
#include "framehex.h"
#include "production/audiobyte.h"
#include "production/eepromprogramming.h"
#include "production/focus_coefs.h"
#include "production/productionrecord.h"
#include "production/servolists.h"

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

    // The settings block a run writes: the loader of the chosen entry, with the placeholder the
    // loader the board uses (none known: as read), the rate and R31 as chosen, the typed byte.
    void imageFromPage_data() {
        QTest::addColumn<int>("entry"); // of the loader list; 0: "None"
        QTest::addColumn<int>("code");  // that entry's code
        QTest::addColumn<int>("inUse"); // the board's loader type; -1: not known
        QTest::addColumn<int>("loader");
        QTest::newRow("entry chosen") << 2 << 0x82 << 0x41 << 0x82;
        QTest::newRow("placeholder: the loader in use") << 0 << -1 << 0x41 << 0x41;
        QTest::newRow("placeholder, none known: as read") << 0 << -1 << -1 << 0x02;
    }
    void imageFromPage() {
        QFETCH(int, entry);
        QFETCH(int, code);
        QFETCH(int, inUse);
        QFETCH(int, loader);
        BoardState state;
        state.eeprom.settings_read = state.eeprom.focus_read = true;
        state.loader.loader_list_complete = true;
        state.eeprom.image.loader_code = 0x02;
        state.loader.loader_type_known = inUse >= 0;
        state.loader.loader_type = quint8(inUse);
        EepromProgramming::Page page;
        page.loaderEntry = entry;
        page.loaderCode = code;
        page.baudByte = 0x01;
        page.focusEntry = 1;
        page.audioByte = "5f";
        EepromParameters image;
        QCOMPARE(EepromProgramming::imageFromPage(page, state, false, false, &image), QString());
        QCOMPARE(
            QList<int>({image.loader_code, image.baud_flag, image.focus_setting, image.audio_byte}),
            QList<int>({loader, 0x01, 0x01, 0x5F}));
        // nothing is written while a memory exchange holds the board's replies
        QCOMPARE(EepromProgramming::imageFromPage(page, state, true, false, &image),
                 EepromProgramming::busyText());
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

    // What the page's record fields give, or the field a run is refused for.
    void productionRecord_data() {
        QTest::addColumn<QStringList>("fields"); // serial, flashed by, customer, date
        QTest::addColumn<QString>("record");     // customer, day, flashed by, serial; or refusal
        QTest::newRow("typed") << QStringList{"4712", " 7 ", "1", "2023-03-15"} << "1 2000 7 4712";
        QTest::newRow("limits") << QStringList{"65535", "0", "0", "2017-09-22"} << "0 0 0 65535";
        QTest::newRow("last day") << QStringList{"1", "1", "1", "2197-02-25"} << "1 65535 1 1";
        QTest::newRow("serial 65536")
            << QStringList{"65536", "1", "1", "2023-03-15"} << "Serial Number";
        QTest::newRow("flashed by empty")
            << QStringList{"1", "", "1", "2023-03-15"} << "Flashed by";
        QTest::newRow("customer -1") << QStringList{"1", "1", "-1", "2023-03-15"} << "Customer ID";
        QTest::newRow("day before") << QStringList{"1", "1", "1", "2017-09-21"} << "Flash Date";
        QTest::newRow("day after") << QStringList{"1", "1", "1", "2197-02-26"} << "Flash Date";
    }
    void productionRecord() {
        QFETCH(QStringList, fields);
        QFETCH(QString, record);
        EepromParameters image;
        QString why;
        if (ProductionRecord::fromPage(fields[0], fields[1], fields[2],
                                       QDate::fromString(fields[3], Qt::ISODate), &image, &why))
            why = QString("%1 %2 %3 %4")
                      .arg(image.customer_id)
                      .arg(image.production_day)
                      .arg(image.flashed_by)
                      .arg(image.serial_number);
        QVERIFY2(why.startsWith(record), qPrintable(why));
        QCOMPARE(ProductionRecord::dateText(0), QString("Fri Sep 22 2017"));
    }
};

QTEST_GUILESS_MAIN(tst_productionlogic)
#include "tst_productionlogic.moc"

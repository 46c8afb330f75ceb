#include "production/servopage.h"

#include "production/focus_coefs.h"
#include "production/servolists.h"
#include "ui_servopage.h"

ServoPage::ServoPage(Focus_Coefs& coefs, QWidget* parent)
    : QWidget(parent), ui(std::make_unique<Ui::ServoPage>()) {
    ui->setupUi(this);
    // The fixed lists, index 0 first.
    const std::pair<QComboBox*, QStringList> fixed[] = {
        {ui->comboBox_foc_int,
         {"hold", "1.2",  "2.4",  "3.6",  "4.8", "6.0",  "7.2",  "8.4",  "9.6",  "10.8", "12",
          "13.2", "14.4", "15.6", "16.8", "18",  "19.2", "20.4", "21.6", "22.8", "24",   "25"}},
        {ui->comboBox_CA_start, {"0.0225", "0.03", "0.045", "0.06", "0.09", "0.125", "0.18", "1"}},
        {ui->comboBox_21,
         {"20 mV", "25 mV", "30 mV", "40 mV", "60 mV", "75 mV", "100 mV", "120 mV", "150 mV",
          "200 mV", "270 mV", "350 mV", "450 mV", "600 mV", "720 mV", "960 mV"}},
        {ui->comboBox_22,
         {"20 mV", "25 mV", "30 mV", "40 mV", "60 mV", "75 mV", "100 mV", "120 mV", "150 mV",
          "200 mV", "270 mV", "350 mV", "450 mV", "600 mV", "720 mV", "960 mV"}},
        {ui->comboBox_23,
         {"20 mV", "25 mV", "30 mV", "40 mV", "60 mV", "75 mV", "100 mV", "120 mV", "150 mV",
          "200 mV", "270 mV", "350 mV", "450 mV", "600 mV", "720 mV", "960 mV"}},
        {ui->comboBox_24,
         {"20 mV", "25 mV", "30 mV", "40 mV", "60 mV", "75 mV", "100 mV", "120 mV", "150 mV",
          "200 mV", "270 mV", "350 mV", "450 mV", "600 mV", "720 mV", "960 mV"}},
        {ui->comboBox_7, {"1.0ms", "1.5ms", "2.0ms", "2.5ms"}},
        {ui->comboBox_5, {"16ms", "8ms", "4ms", "2ms"}},
        {ui->comboBox_6, {"0.25", "0.125", "0.0625", "reserved"}},
        {ui->comboBox_11,
         {"int. hold", "10/Kv", "20/Kv", "30/Kv", "40/Kv", "50/Kv", "60/Kv", "70/Kv", "80/Kv",
          "90/Kv", "100/Kv", "110/Kv", "120/Kv", "130/Kv", "140/Kv", "150/Kv"}},
        {ui->comboBox_8,
         {"1.97 kHz", "2.29 kHz", "2.61 kHz", "2.94 kHz", "3.26 kHz", "3.9 kHz", "4.55 kHz",
          "5.19 kHz", "5.82 kHz", "6.46 kHz", "7.72 kHz", "8.98 kHz", "10.22 kHz", "11.46 kHz",
          "12.69 kHz", "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz"}},
        {ui->comboBox_13, {"OFF", "Focus", "Foc & Rad", "reserved"}},
        {ui->comboBox_14, {"active 1", "active 0"}},
        {ui->comboBox_12,
         {"1.97 kHz", "2.29 kHz", "2.61 kHz", "2.94 kHz", "3.26 kHz", "3.9 kHz", "4.55 kHz",
          "5.19 kHz", "5.82 kHz", "6.46 kHz", "7.72 kHz", "8.98 kHz", "10.22 kHz", "11.46 kHz",
          "12.69 kHz", "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz"}},
        {ui->comboBox_16, {"single", "double"}},
        {ui->comboBox_17, {"0.0225", "0.03", "0.045", "0.06", "0.09", "0.125", "0.18", "1"}},
        {ui->comboBox_9,
         {"7.5 ms", "8.2 ms", "9 ms", "9.7 ms", "10.5 ms", "11.2 ms", "12.5 ms", "14 ms", "15.5 ms",
          "16.5 ms", "20.7 ms", "25 ms", "31.2 ms", "41 ms", "63 ms", "128 ms"}},
        {ui->comboBox_15,
         {"3.90 kHz", "4.55 kHz", "5.19 kHz", "5.85 kHz", "6.46 kHz", "7.72 kHz", "8.98 kHz",
          "10.22 kHz", "11.46 kHz", "12.69 kHz", "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz",
          "25.40 kHz", "30.26 kHz", "35.08 kHz", "39.86 kHz", "44.56 kHz"}},
        {ui->comboBox_18,
         {"1.97 kHz", "2.29 kHz", "2.61 kHz", "2.94 kHz", "3.26 kHz", "3.9 kHz", "4.55 kHz",
          "5.19 kHz", "5.82 kHz", "6.46 kHz", "7.72 kHz", "8.98 kHz", "10.22 kHz", "11.46 kHz",
          "12.69 kHz", "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz"}},
        {ui->comboBox_26,
         {"1.11 V", "952 mV", "588 mV", "392 mV", "1.11 V", "952 mV", "588 mV", "392 mV", "303 mV",
          "200 mV", "157 mV", "107 mV", "79 mV", "54 mV", "39 mV", "27 mV"}},
        {ui->comboBox_27,
         {"10 µA (reset)", "10 µA", "20 µA", "30 µA", "50 µA", "60 µA", "70 µA", "80 µA", "100 µA",
          "110 µA", "120 µA", "130 µA", "150 µA", "160 µA", "170 µA", "180 µA"}},
        {ui->comboBox_29,
         {"10/6.367 kHz",  "10/7.31 kHz",   "10/8.395 kHz",  "10/9.247 kHz",  "10/10.186 kHz",
          "10/11.066 kHz", "10/12.023 kHz", "20/12.706 kHz", "20/14.588 kHz", "20/16.520 kHz",
          "20/18.45 kHz",  "20/20.324 kHz", "20/22.080 kHz", "20/23.988 kHz", "30/18.967 kHz",
          "30/21.777 kHz", "30/24.660 kHz", "30/27.542 kHz", "30/30.339 kHz", "30/32.961 kHz",
          "30/35.318 kHz", "40/25.003 kHz", "40/29.107 kHz", "40/32.961 kHz", "40/36.307 kHz",
          "40/39.994 kHz", "40/43.451 kHz", "40/47.206 kHz"}},
        {ui->comboBox_25,
         {"    525/8400 kHz", "  263/16800 kHz", "  131/33600 kHz", "  1050/8400 kHz",
          "  525/16800 kHz", "  263/33600 kHz", "  2101/8400 kHz", "1050/16800 kHz",
          "    525/3600 kHz", "  4200/8400 kHz", "2101/16800 kHz", "1050/33600 kHz"}},
        {ui->comboBox_20,
         {"3.9 kHz", "4.55 kHz", "5.19 kHz", "5.82 kHz", "6.46 kHz", "7.72 kHz", "8.98 kHz",
          "10.22 kHz", "11.46 kHz", "12.69 kHz", "15.13 kHz", "17.54 kHz", "19.93 kHz", "22.28 kHz",
          "25.40 kHz", "30.26 kHz", "35.08 kHz", "39.86 kHz", "44.56 kHz"}},
        {ui->comboBox_28, {"1x", "2x", "4x"}},
        {ui->comboBox_10,
         {"0 kHz", "1 kHz", "2 kHz", "3 kHz", "4 kHz", "5 kHz", "6 kHz", "7 kHz", "undefined"}},
        {ui->comboBox_2, {"3.5kHz", "7kHz", "14kHz", "reserved"}},
        {ui->comboBox_32, {"ON", "OFF"}},
        {ui->comboBox_31, {"before concealment", "after concealment"}},
        {ui->comboBox_30, {"ON", "OFF"}},
        {ui->comboBox_33, {"Level I", "Level II", "Level III"}},
    };
    for (const auto& [combo, items] : fixed)
        combo->addItems(items);
    connect(ui->comboBox_foc_lead_length, qOverload<int>(&QComboBox::currentIndexChanged), &coefs,
            &Focus_Coefs::handle_combobox_lead_length);
    connect(ui->comboBox_CA_start, qOverload<int>(&QComboBox::currentIndexChanged), &coefs,
            &Focus_Coefs::handle_combobox_ca_start);
    connect(ui->horizontalScrollBar, &QScrollBar::valueChanged, this, &ServoPage::scrollAcross);
    connect(ui->verticalScrollBar, &QScrollBar::valueChanged, this, &ServoPage::scrollDown);
    // The computed lists, each item with its data.
    using List = ServoLists::List;
    const std::pair<QComboBox*, List> lists[] = {
        {ui->comboBox_foc_lead_length, List::FocLeadLength},
        {ui->comboBox_ramp_increase, List::RampIncrease},
        {ui->comboBox_ramp_height, List::RampHeight},
        {ui->comboBox_ramp_offset, List::RampOffset},
        {ui->comboBox_FE_start, List::FeStart},
        {ui->comboBox_focus_gain, List::FocusGain},
        {ui->comboBox_vel_prop, List::VelProp},
        {ui->comboBox_rad_lead_length, List::RadLeadLength},
        {ui->comboBox_radial_gain, List::RadialGain},
        {ui->comboBox_sledge_gain, List::SledgeGain},
    };
    for (const auto& [combo, list] : lists)
        for (const ServoLists::Item& item : ServoLists::items(list))
            combo->addItem(item.text, item.data);
}

ServoPage::~ServoPage() = default;

void ServoPage::scrollAcross(int value) {
    ui->servoParameterArea->move(-value, ui->servoParameterArea->y());
}

void ServoPage::scrollDown(int value) {
    ui->servoParameterArea->move(ui->servoParameterArea->x(), -value);
}

void ServoPage::fitWindow(int W, int H) {
    ui->horizontalScrollBar->setGeometry(0, H - 80, W - 23, 18);
    ui->horizontalScrollBar->setRange(0, 1600 - W);
    ui->verticalScrollBar->setGeometry(W - 23, 0, 18, H - 80);
}

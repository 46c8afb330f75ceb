#include "production/servolists.h"

#include <QStringList>

namespace {

using Item = ServoLists::Item;

QVector<Item> numbered(int first, int last) {
    QVector<Item> items;
    for (int n = first; n <= last; ++n)
        items.append({n, QString::number(n)});
    return items;
}

QVector<Item> indexed(const QStringList& texts) {
    QVector<Item> items;
    for (int k = 0; k < texts.size(); ++k)
        items.append({k, texts.at(k)});
    return items;
}

QString g6(double value) {
    return QString::number(value, 'g', 6);
}

QVector<Item> focLeadLength() {
    QVector<Item> items;
    for (int n = 1; n <= 16; ++n) {
        const int e = static_cast<int>(640.0 / n + 0.5);
        QString text = QString::number(e / 10);
        if (e % 10 > 0)
            text += QLatin1Char('.') + QString::number(e % 10);
        items.append({n, text});
    }
    return items;
}

QVector<Item> feStart() {
    QVector<Item> items{{0, QStringLiteral("always")}};
    for (int n = 1; n <= 126; ++n)
        items.append({n, QString::number(n) + QStringLiteral("/127")});
    items.append({127, QStringLiteral("continous")});
    return items;
}

QVector<Item> focusGain() {
    QVector<Item> items;
    for (int n = 1; n <= 255; ++n) {
        const int o = static_cast<int>(204800.0 / n + 0.5);
        QString text = QString::number(o / 100);
        if (o % 100 > 0)
            text += QStringLiteral(".%1").arg(o % 100, 2, 10, QLatin1Char('0'));
        items.append({n, text});
    }
    return items;
}

QVector<Item> velProp() {
    QVector<Item> items;
    for (int n = 0; n <= 15; ++n)
        items.append({n, g6(n * 0.015625)});
    return items;
}

QVector<Item> radLeadLength() {
    QVector<Item> items{{0, QStringLiteral("infinite")}};
    for (int n = 1; n <= 15; ++n) {
        const int u = static_cast<int>(1280.0 / n + 0.5);
        items.append({n, QStringLiteral("%1.%2").arg(u / 10).arg(u % 10)});
    }
    return items;
}

QVector<Item> radialGain() {
    QVector<Item> items;
    for (int n = 1; n <= 255; ++n)
        items.append({n, g6(256.0 / n)});
    return items;
}

QVector<Item> sledgeGain() {
    QVector<Item> items;
    int data = 1;
    for (int w = 1; w <= 128; w *= 2) {
        items.append({data++, g6(w * 7 * 0.03125)});
        items.append({data++, g6(w * 9 * 0.03125)});
    }
    return items;
}

} // namespace

QVector<ServoLists::Item> ServoLists::items(List list) {
    switch (list) {
    case List::FocLeadLength:
        return focLeadLength();
    case List::RampIncrease:
        return numbered(0, 255);
    case List::RampHeight:
        return numbered(0, 127);
    case List::RampOffset:
        return numbered(-128, 127);
    case List::FeStart:
        return feStart();
    case List::FocusGain:
        return focusGain();
    case List::VelProp:
        return velProp();
    case List::RadLeadLength:
        return radLeadLength();
    case List::RadialGain:
        return radialGain();
    case List::SledgeGain:
        return sledgeGain();
    case List::CaStart:
        return indexed({"0.0225", "0.03", "0.045", "0.06", "0.09", "0.125", "0.18", "1"});
    case List::FocusInt:
        return indexed({"hold", "1.2",  "2.4",  "3.6",  "4.8",  "6.0",  "7.2",  "8.4",
                        "9.6",  "10.8", "12",   "13.2", "14.4", "15.6", "16.8", "18",
                        "19.2", "20.4", "21.6", "22.8", "24",   "25"});
    }
    return {};
}

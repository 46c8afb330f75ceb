#include "production/focus_coefs.h"

#include "shell/logging.h"

void Focus_Coefs::handle_combobox_lead_length(int index) {
    quint8 value = coef & 0x0E;
    if (index >= 0 && index <= 15) {
        value |= 0x01;
        // index bit 0 goes to byte bit 7, bit 1 to bit 6, bit 2 to bit 5, bit 3 to bit 4
        for (int bit = 0; bit < 4; ++bit)
            if (index & (1 << bit))
                value |= static_cast<quint8>(0x80 >> bit);
    }
    coef = value;
    qCDebug(dk61Eeprom) << "lead length set to " << index << Qt::hex << coef;
}

void Focus_Coefs::handle_combobox_ca_start(int index) {
    quint8 value = coef & 0xF1;
    if (index >= 0 && index <= 7)
        value |= static_cast<quint8>(index << 1);
    coef = value;
    qCDebug(dk61Eeprom) << "ca start length set to " << index << Qt::hex << coef;
}

void Focus_Coefs::handle_combobox_foc_int(int index) {
    focusInt = index;
}

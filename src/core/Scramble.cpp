#include "Scramble.h"

#include "CodePages.h"

namespace {

QByteArray transform(const QByteArray& input, quint16 key, quint16 multiplier, quint16 addend,
                     bool scrambling) {
    const int length = int(input.size() % 256);
    QByteArray output(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i) {
        const quint8 in = quint8(input[i]);
        const quint8 out = in ^ quint8(key >> 8);
        output[i] = char(out);
        // The feedback always uses the scrambled character, so the two directions invert.
        const quint8 feedback = scrambling ? out : in;
        key = quint16((quint16(feedback + key)) * multiplier + addend);
    }
    return output;
}

} // namespace

QByteArray ScrambleText(const QByteArray& plain, quint16 startKey, quint16 multiplier,
                        quint16 addend) {
    return transform(plain, startKey, multiplier, addend, true);
}

QByteArray UnscrambleText(const QByteArray& scrambled, quint16 startKey, quint16 multiplier,
                          quint16 addend) {
    return transform(scrambled, startKey, multiplier, addend, false);
}

QByteArray ScramblePassword(const QString& password) {
    return ScrambleText(EncodeText(CodePage::Win1251, password));
}

QString UnscramblePassword(const QByteArray& scrambled) {
    return DecodeText(CodePage::Win1251, UnscrambleText(scrambled));
}

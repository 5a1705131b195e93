#include <QStringDecoder>
#include <QTest>

#include "core/Cp1251.h"

using namespace Qt::StringLiterals;

class tst_Cp1251 : public QObject {
    Q_OBJECT
private slots:
    void decodeIntoEveryPosition();
    void tablesAgreeWithSystemCodec();
};

// The ASCII runs are widened in blocks of 16 bytes: a non-ASCII byte at any
// place in a block, and blocks cut short, must decode as the table says.
void tst_Cp1251::decodeIntoEveryPosition() {
    const QByteArray cyrillic = Cp1251::encode(u"Жё№"_s);
    for (int size : {0, 1, 15, 16, 17, 31, 32, 33, 50}) {
        for (int at = -1; at < size; ++at) {
            QByteArray bytes(size, 'a');
            for (int i = 0; i < size; ++i)
                bytes[i] = char('0' + i % 10);
            if (at >= 0)
                bytes[at] = cyrillic[at % cyrillic.size()];
            if (size > 3)
                bytes[size - 1] = char(0x98); // undefined in the code page
            std::vector<char16_t> out(size_t(size) + 1, u'#');
            Cp1251::decodeInto(bytes.constData(), size, out.data());
            const auto& table = Cp1251::byteTable();
            for (int i = 0; i < size; ++i)
                QVERIFY2(
                    out[size_t(i)] == table[static_cast<unsigned char>(bytes[i])],
                    qPrintable(u"size %1, non-ASCII at %2, byte %3"_s.arg(size).arg(at).arg(i)));
            QCOMPARE(out[size_t(size)], u'#'); // nothing written beyond
            QCOMPARE(Cp1251::decode(bytes),
                     QString(reinterpret_cast<const QChar*>(out.data()), size));
        }
    }
}

// The tables are written out by hand: every byte must read as the system's
// own codec reads it, and every character it gives must write back as that
// byte.
void tst_Cp1251::tablesAgreeWithSystemCodec() {
    QStringDecoder decoder("windows-1251");
    if (!decoder.isValid())
        QSKIP("Qt was built without this code page");
    const auto& table = Cp1251::byteTable();
    for (int b = 0; b < 256; ++b) {
        const char byte = char(b);
        const QString system = decoder.decode(QByteArrayView(&byte, 1));
        QCOMPARE(system.size(), 1);
        QVERIFY2(system.at(0).unicode() == table[size_t(b)], qPrintable(QString::number(b, 16)));
        QCOMPARE(Cp1251::encode(system), QByteArray(1, byte));
    }
    QVERIFY(!Cp1251::canEncode(u"\u20B4"_s)); // hryvnia sign: not in the code page
    QCOMPARE(Cp1251::encode(u"Ё\u20B4я"_s), QByteArray("\xA8?\xFF"));
}

QTEST_GUILESS_MAIN(tst_Cp1251)
#include "tst_Cp1251.moc"

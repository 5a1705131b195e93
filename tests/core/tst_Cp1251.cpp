#include <QTest>

#include "core/Cp1251.h"

using namespace Qt::StringLiterals;

class tst_Cp1251 : public QObject {
    Q_OBJECT
private slots:
    void decodeIntoEveryPosition();
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

QTEST_GUILESS_MAIN(tst_Cp1251)
#include "tst_Cp1251.moc"

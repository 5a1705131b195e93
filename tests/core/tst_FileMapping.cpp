#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "core/FileMapping.h"
#include "support/MappingSupport.h"
#include "support/TestFiles.h"

class tst_FileMapping : public QObject {
    Q_OBJECT

private slots:
    void privateBytesOutliveAChangeToTheFile();
    void whatCannotBeMappedIsLeftToARead();
};

namespace {

// Several copy chunks and a part page at the end.
QByteArray sample() {
    QByteArray out;
    for (int i = 0; out.size() < 3 * 1024 * 1024 + 123; ++i)
        out += QByteArray::number(i) + '|';
    return out;
}

} // namespace

void tst_FileMapping::privateBytesOutliveAChangeToTheFile() {
    if (!FilesAreMapped())
        QSKIP("this system reads files instead of mapping them");
    QTemporaryDir dir;
    const QString path = dir.filePath(u"file"_qs);
    const QByteArray original = sample();
    QVERIFY(writeFile(path, original));

    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const std::shared_ptr<FileMapping> mapping = FileMapping::map(file);
    QVERIFY(mapping);
    file.close(); // the mapping does not need the file open
    const QByteArray bytes = mapping->bytes();
    QCOMPARE(bytes, original);
    QVERIFY(!mapping->isPrivate());

    QVERIFY(mapping->makePrivate());
    QVERIFY(mapping->isPrivate());
    // Cut short and rewritten in place, as another program might: pages still
    // the file's would now read other bytes, or past its end fault.
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.resize(0));
    QVERIFY(file.write(QByteArray(100, 'x')) == 100);
    file.close();
    QCOMPARE(mapping->bytes().constData(), bytes.constData());
    QCOMPARE(bytes, original);
    QVERIFY(mapping->makePrivate()); // once is enough; again changes nothing
    QCOMPARE(bytes, original);
}

void tst_FileMapping::whatCannotBeMappedIsLeftToARead() {
    QTemporaryDir dir;
    const QString path = dir.filePath(u"empty"_qs);
    QVERIFY(writeFile(path, {}));
    QFile empty(path);
    QVERIFY(empty.open(QIODevice::ReadOnly));
    QVERIFY(!FileMapping::map(empty));

    QFile closed(path);
    QVERIFY(!FileMapping::map(closed));
}

QTEST_GUILESS_MAIN(tst_FileMapping)
#include "tst_FileMapping.moc"

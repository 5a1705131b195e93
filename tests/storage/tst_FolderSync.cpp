#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "storage/FolderSync.h"

using namespace Qt::StringLiterals;

class tst_FolderSync : public QObject {
    Q_OBJECT
private slots:
    void onlyAFolderIsSynced();
};

void tst_FolderSync::onlyAFolderIsSynced() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QVERIFY(SyncFolder(dir.path()));
#if defined(Q_OS_UNIX)
    // The sync is a real call on the folder: what is not one fails.
    QVERIFY(!SyncFolder(dir.filePath(u"нет такой"_s)));
    QFile file(dir.filePath(u"file"_s));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(!SyncFolder(file.fileName()));
#endif
}

QTEST_GUILESS_MAIN(tst_FolderSync)
#include "tst_FolderSync.moc"

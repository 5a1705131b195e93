#include <QTest>

#include "workbook/OnDemandLibraries.h"

class tst_OnDemandLibraries : public QObject {
    Q_OBJECT
private slots:
    void everyFunctionFound();
};

void tst_OnDemandLibraries::everyFunctionFound() {
    const XlsxWriterLibrary* x = XlsxWriter();
    QVERIFY(x);
#define OST_CHECK_X(name) QVERIFY2(x->name, #name);
    OST_XLSXWRITER_FUNCTIONS(OST_CHECK_X)
    const ZipLibrary* z = Zip();
    QVERIFY(z);
#define OST_CHECK_Z(name) QVERIFY2(z->name, #name);
    OST_ZIP_FUNCTIONS(OST_CHECK_Z)
    // Loaded once: the same table on every call.
    QCOMPARE(XlsxWriter(), x);
    QCOMPARE(Zip(), z);
    // The pointers call into the library: a fresh error reads as none.
    zip_error_t error;
    z->zip_error_init(&error);
    QCOMPARE(error.zip_err, ZIP_ER_OK);
    z->zip_error_fini(&error);
}

QTEST_GUILESS_MAIN(tst_OnDemandLibraries)
#include "tst_OnDemandLibraries.moc"

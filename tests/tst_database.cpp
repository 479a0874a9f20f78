#include "testsupport.h"

class tst_database : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(tst_database)
#include "tst_database.moc"

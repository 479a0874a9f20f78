#include "testsupport.h"

class tst_platform : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(tst_platform)
#include "tst_platform.moc"

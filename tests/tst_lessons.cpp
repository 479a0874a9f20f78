#include "testsupport.h"

class tst_lessons : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(tst_lessons)
#include "tst_lessons.moc"

#include "testsupport.h"

class tst_content : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(tst_content)
#include "tst_content.moc"

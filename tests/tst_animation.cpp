#include "testsupport.h"

class tst_animation : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(tst_animation)
#include "tst_animation.moc"

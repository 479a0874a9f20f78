#include "testsupport.h"

class tst_shell : public QObject
{
    Q_OBJECT
private slots:
    void placeholder() {}
};

QTEST_MAIN(tst_shell)
#include "tst_shell.moc"

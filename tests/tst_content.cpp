// The course material as shipped: question sets that are complete, balanced and
// fit their one-line boxes, and pictures of the sizes the layouts expect.

#include "testsupport.h"

#include "animation/sequences.h"
#include "assessment/coursebank.h"
#include "assessment/labeltopics.h"
#include "lessons/lessonlayouts.h"
#include "lessons/lessonpages.h"

#include <QDir>
#include <QFile>
#include <QImageReader>

using namespace testing;

class tst_content : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { platform::installFontSubstitutes(); }

    void questionSets_data()
    {
        QTest::addColumn<QString>("file");
        for (const QString &f : QDir(sourceDir() + "/data/questions").entryList({"*.txt"}))
            QTest::newRow(qPrintable(f)) << f;
    }

    void questionSets()
    {
        QFETCH(QString, file);
        QString error;
        const auto sets = assessment::readQuestionFile(sourceDir() + "/data/questions/" + file, &error);
        QVERIFY2(!sets.isEmpty(), qPrintable(error));
        // One line each, in the statement boxes of the questionnaire (8175 twips)
        // and of the summative test (7695 twips), at their font, inside the frame;
        // the summative title box is narrower (7665 twips) than its statements'.
        const bool summative = file.startsWith("sommativo");
        const int box = platform::tw(summative ? 7695 : 8175) - 12;
        const int titleBox = platform::tw(summative ? 7665 : 8175) - 12;
        const QFontMetrics statementFont(platform::designFont(platform::SansSerif, 8.25));
        const QFontMetrics titleFont(platform::designFont(platform::SansSerif, 8.25, true));
        QSet<QString> seen;
        for (const auto &set : sets) {
            QVERIFY2(titleFont.horizontalAdvance(set.title) < titleBox, qPrintable(set.title));
            int trueOnes = 0;
            for (int k = 0; k < assessment::StatementsPerSet; ++k) {
                const QString &s = set.statements[k];
                QVERIFY2(statementFont.horizontalAdvance(s) < box, qPrintable(s));
                QVERIFY2(!seen.contains(s), qPrintable("twice: " + s));
                seen.insert(s);
                trueOnes += set.answers[k];
            }
            QVERIFY2(trueOnes >= 4 && trueOnes <= 6, qPrintable(set.title));
        }
    }

    void picturesHaveTheirSizes()
    {
        QSet<QString> frames, lessonPictures;
        for (const auto &s : animation::sequences())
            for (const QString &f : s.frames)
                frames.insert(f);
        for (const auto &layout : lessons::lessonLayouts()) {
            const auto &pages = lessons::lessonPages(layout.window());
            for (const auto &page : pages.pages)
                for (const QString &f : {page.picture, page.pictureBack})
                    if (!f.isEmpty())
                        lessonPictures.insert(f.toLower());
        }
        QSet<QString> labelPictures;
        for (const auto &topic : assessment::labelTopics())
            labelPictures.insert(topic.picture);
        QCOMPARE(lessonPictures.size(), 61);
        QCOMPARE(frames.size(), 98);
        QCOMPARE(labelPictures.size(), 6);
        const QDir data(stagedDataDir());
        for (const QString &f : data.entryList({"*.jpg"})) {
            QImageReader reader(data.filePath(f));
            const QImage img = reader.read();
            QVERIFY2(!img.isNull(), qPrintable(f));
            QSize expected;
            if (f == "valdoria1.jpg")
                expected = QSize(639, 460);
            else if (frames.contains(f))
                expected = QSize(300, 240);
            else if (lessonPictures.contains(f))
                expected = QSize(200, 150);
            else if (labelPictures.contains(f))
                expected = assessment::PictureFrame.px().size(); // drawn for its frame, so never rescaled
            else
                QFAIL(qPrintable("a picture no window shows: " + f));
            QCOMPARE(img.size(), expected);
        }
        for (const QString &f : lessonPictures + frames + labelPictures)
            QVERIFY2(data.exists(f), qPrintable("missing " + f));
    }

    void lessonPagesParse()
    {
        QString error;
        QVERIFY(!lessons::parseLessonPages("caption: X\npage 2\n", &error));
        QVERIFY(error.contains("out of order"));
        QVERIFY(!lessons::parseLessonPages("caption: X\npage 1\ntitle: senza virgolette\n", &error));
        QVERIFY(error.contains("double quotes"));
        const auto ok = lessons::parseLessonPages(
            "caption: PROVA\n\npage 1\ntitle: \"  Uno \"\npicture: a.jpg\nplace: 1 2 3 4\ntext:\n Primo.\n\n Secondo.  \n\n\n"
            "page 2\ntitle: \"   FINE\"\nend: \"   E' FINITO\"\n",
            &error);
        QVERIFY2(ok, qPrintable(error));
        QCOMPARE(ok->caption, "PROVA");
        QCOMPARE(ok->page(1).title, "  Uno ");
        QCOMPARE(ok->page(1).text, QString(" Primo.\r\r Secondo."));
        QCOMPARE(ok->page(1).place->width, 3);
        QCOMPARE(ok->page(2).text, QString("\r\r\r\r   E' FINITO"));
    }
};

QTEST_MAIN(tst_content)
#include "tst_content.moc"

// The editor keeps the document within what the reader accepts: every way
// content grows is refused with a message once it would go past a bound, and
// a refused edit changes nothing and leaves no record.
#include "doclimits.h"
#include "document.h"
#include "editorfixture.h"

namespace {

DocLimits::Usage usage(MainWindow& w)
{
    return DocLimits::measure(DocumentSettings::fromSetting(), w.mListArea);
}

// Fills the current page with boxes until the document holds `objects`.
void fillTo(Editor& f, int objects)
{
    for (int n = usage(f.w).objects; n < objects; ++n)
        f.box(n % 500, n / 500, 20, 20, 0, "");
}

}

class TstLimits : public QObject
{
    Q_OBJECT

private slots:
    void objectsStopAtTheBound()
    {
        Editor f;
        fillTo(f, Document::MAX_OBJECTS - 1);
        DrawObject* last = f.box(300, 300, 40, 40, 0, "ab");
        f.select({last});
        const QString refusal = QString("warning|上限|オブジェクトは1つの文書に%1個までです。\nこれ以上追加できません。").arg(Document::MAX_OBJECTS);

        // Each way of adding, at the bound: refused, nothing added, no record.
        const int records = f.w.mListUndo.size();
        f.w.actionCopy();
        const QList<std::function<void()>> adders = {[&] { f.w.actionPaste(); }, [&] { f.w.on_btnCopyObj_clicked(); },
                                                     [&] { f.w.on_btnNewObj_clicked(); }, [&] { f.w.on_btnPageNum_clicked(); }};
        for (const auto& add : adders) {
            f.seam->log.clear();
            add();
            QCOMPARE(f.seam->log, QStringList({refusal}));
            QCOMPARE(usage(f.w).objects, Document::MAX_OBJECTS);
        }
        QCOMPARE(f.w.mListUndo.size(), records);

        // Below the bound the same actions work, and undo still reaches back.
        f.run(CMD_OBJ_DELETE, "", {last});
        f.w.actionPaste();
        QCOMPARE(usage(f.w).objects, Document::MAX_OBJECTS);
        f.w.undo();
        f.w.undo();
        QCOMPARE(f.w.getObjectZ(last), Document::MAX_OBJECTS - 1);
    }

    void contentStopsAtTheBound()
    {
        Editor f;
        DrawObject* a = f.box(10, 10, 100, 60, 0, "");
        DrawObject* b = f.box(200, 10, 100, 60, 0, "");
        // Fill the text bound up to ten characters.
        a->text = QString(int(Document::MAX_TEXT_CHARS - usage(f.w).chars - 10), QChar(0x3042));
        a->relocateText(QString());
        f.select({b});

        // Typing: ten more go in, the eleventh is refused and the field shows the text again.
        f.ui->txtText->setFocus();
        QTest::keyClicks(f.ui->txtText, "0123456789");
        QCOMPARE(b->text, QString("0123456789"));
        QCOMPARE(usage(f.w).chars, Document::MAX_TEXT_CHARS);
        f.seam->log.clear();
        QTest::keyClicks(f.ui->txtText, "x");
        QVERIFY(b->text == "0123456789" && f.ui->txtText->toPlainText() == b->text);
        QVERIFY(f.seam->log.size() == 1 && f.seam->log.first().startsWith("warning|上限|文書の文字数が上限"));

        // A shorter text always goes in; so does an image path of the room left.
        f.ui->txtText->setPlainText("0");
        QCOMPARE(b->text, QString("0"));
        f.seam->fileAnswers << "/i/12.png" << "/i/123.png";
        f.w.on_btnImg_clicked();
        f.w.on_btnImg_clicked();
        QCOMPARE(b->imgPath, QString("/i/12.png"));
        QCOMPARE(usage(f.w).chars, Document::MAX_TEXT_CHARS);
        // Places that take more digits, and a link (its chain id), grow the file too.
        f.run(CMD_OBJ_RECT_CHANGE, "-100000,10,100,60", {b});
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {a, b});
        QVERIFY(b->x == 200 && !b->isTextLinked());
        f.run(CMD_OBJ_RECT_CHANGE, "300,10,100,60", {b});
        QCOMPARE(b->x, 300);

        // What the editor holds at the bound saves and opens again.
        QTemporaryDir dir;
        QVERIFY(f.w.fileSave(dir.filePath("full.xml")));
        QVERIFY(f.w.fileOpen(dir.filePath("full.xml")));
        QCOMPARE(usage(f.w).chars, Document::MAX_TEXT_CHARS);
        QCOMPARE(f.w.mListArea[0]->at(1)->text + f.w.mListArea[0]->at(1)->imgPath, QString("0/i/12.png"));
    }
};

QTEST_MAIN(TstLimits)
#include "tst_limits.moc"

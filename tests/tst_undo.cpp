#include "editing_fixture.h"
#include "ui_mainwindow.h" // named here so the test target generates it

#include <QRandomGenerator>
#include <QLoggingCategory>
#include <QtTest>

namespace {

// Every stored field, page and stacking index of the document, as text.
QStringList snapshot(MainWindow* w)
{
    QStringList out;
    for (int area = 0; area < w->mListArea.size(); ++area) {
        for (DrawObject* o : *w->mListArea[area]) {
            QString line = QString("%1:%2:%3").arg(area).arg(quintptr(o), 0, 16).arg(w->getObjectZ(o));
            for (int code = 0; code <= 51; ++code)
                if (Command::hasField(code))
                    line += "|" + Command::fieldValue(o, code);
            line += QString("|%1|%2|%3").arg(o->ruledline).arg(o->imgPath).arg(o->textLinkList != nullptr);
            out << line;
        }
    }
    return out;
}

QString firstDifference(const QStringList& a, const QStringList& b)
{
    for (int i = 0; i < qMax(a.size(), b.size()); ++i)
        if (a.value(i) != b.value(i))
            return QString("line %1:\n  %2\n  %3").arg(i).arg(a.value(i), b.value(i));
    return QString();
}

// Random commands of every code that has an inverse, with fitting values.
class RandomEditor
{
public:
    RandomEditor(MainWindow* w, quint32 seed) : w(w), rng(seed) {}

    // Issues one recorded command; true when it added an undo record.
    bool step()
    {
        static const int CODES[] = {0, 0, 1, 3, 5, 6, 6, 7, 9, 10, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                    22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 38, 39, 40, 41,
                                    42, 43, 44, 45, 45, 46, 47, 48, 49, 50, 51};
        const int code = CODES[rng.bounded(int(sizeof(CODES) / sizeof(CODES[0])))];
        QList<DrawObject*> inDoc;
        for (QList<DrawObject*>* list : w->mListArea)
            inDoc << *list;
        QList<DrawObject*> targets;
        if (code == CMD_OBJ_CREATE) {
            const int n = 1 + rng.bounded(2);
            for (int i = 0; i < n; ++i)
                targets << new DrawObject(rng.bounded(400), rng.bounded(300), 20 + rng.bounded(200), 20 + rng.bounded(100));
        } else {
            if (inDoc.isEmpty())
                return false;
            const int n = 1 + rng.bounded(3);
            for (int i = 0; i < n; ++i) {
                DrawObject* o = inDoc.at(rng.bounded(inDoc.size()));
                if (!targets.contains(o))
                    targets << o;
            }
        }
        QStringList values;
        const bool perObject = targets.size() > 1 && rng.bounded(3) == 0;
        for (int i = 0; i < (perObject ? targets.size() : 1); ++i)
            values << valueFor(code);
        Command* cmd = w->createCmd(targets);
        cmd->type = code;
        cmd->value = perObject ? EditingFixture::perObject(values) : values.first();
        const Command* before = w->mListUndo.isEmpty() ? nullptr : w->mListUndo.last();
        const int sizeBefore = w->mListUndo.size();
        w->execCmd(cmd, true, 0);
        return w->mListUndo.size() != sizeBefore || (!w->mListUndo.isEmpty() && w->mListUndo.last() != before);
    }

private:
    MainWindow* w;
    QRandomGenerator rng;

    int in(int lo, int hi) { return lo + rng.bounded(hi - lo + 1); }
    QString num(int lo, int hi) { return QString::number(in(lo, hi)); }
    QString boolean()
    {
        static const char* B[] = {"true", "false", "True", "1"};
        return B[rng.bounded(4)];
    }
    QString color() { return QString("%1,%2,%3,%4").arg(in(0, 255)).arg(in(0, 255)).arg(in(0, 255)).arg(in(0, 255)); }

    QString valueFor(int code)
    {
        static const int ALIGNS[] = {33, 36, 34, 129, 132, 130, 65, 68, 66};
        static const char* TEXTS[] = {"", "abc", "日本語の文章です。", "line1\nline2", "ｱｲｳ 123"};
        static const char* FONTS[] = {"Osaka", "IPAGothic", "Serif", "NoSuchFont"};
        static const char* SHAPES[] = {"", "Shape=3;BodyColor=255,255,0,255;LineColor=0,0,0,255;LineWidth=1;IsEllipse=false;MoldCut=none;",
                                       "Shape=1;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;LineCount=3;"};
        static const char* PATHS[] = {"", "/nonexistent/zamfu/a.png", "relative/b.jpg"};
        switch (code) {
        case CMD_OBJ_CREATE: return QString("%1,%2").arg(in(0, 3)).arg(in(-1, 6));
        case CMD_OBJ_DELETE: return QString();
        case CMD_OBJ_X_CHANGE:
        case CMD_OBJ_Y_CHANGE: return num(0, 600);
        case CMD_OBJ_Z_CHANGE: return QString("%1,%2").arg(in(0, 3)).arg(in(-1, 8));
        case CMD_OBJ_R_CHANGE: return num(-180, 180);
        case CMD_OBJ_W_CHANGE:
        case CMD_OBJ_H_CHANGE: return num(1, 400);
        case CMD_OBJ_RECT_CHANGE: return QString("%1,%2,%3,%4").arg(in(0, 500)).arg(in(0, 400)).arg(in(1, 300)).arg(in(1, 300));
        case CMD_OBJ_RECT_MOVE: return QString("%1,%2,%3,%4").arg(in(-5, 5)).arg(in(-5, 5)).arg(in(-5, 5)).arg(in(-5, 5));
        case CMD_OBJ_TEXT_CHANGE: return TEXTS[rng.bounded(5)];
        case CMD_OBJ_TEXT_FONT_CHANGE: return FONTS[rng.bounded(4)];
        case CMD_OBJ_TEXT_MARGIN_CHANGE: return num(0, 20);
        case CMD_OBJ_TEXT_SIZE_CHANGE: return num(0, 40);
        case CMD_OBJ_TEXT_WEIGHT_CHANGE: return rng.bounded(2) ? "75" : "50";
        case CMD_OBJ_TEXT_ALIGN_CHANGE: return QString::number(ALIGNS[rng.bounded(9)]);
        case CMD_OBJ_TEXT_LINE_SPACING_CHANGE:
        case CMD_OBJ_TEXT_WORD_SPACING_CHANGE: return num(-5, 20);
        case CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE: return num(0, 5);
        case CMD_OBJ_SHAPE_DATA_CHANGE: return SHAPES[rng.bounded(3)];
        case CMD_OBJ_BG_RADIUS_CHANGE: return num(0, 50);
        case CMD_OBJ_BORDER_STYLE_CHANGE:
        case CMD_OBJ_RULEDLINE_STYLE_CHANGE: return num(0, 5);
        case CMD_OBJ_BORDER_WIDTH_CHANGE:
        case CMD_OBJ_RULEDLINE_WIDTH_CHANGE: return num(0, 10);
        case CMD_OBJ_RULEDLINE_CHANGE: return QString::number((1 << in(0, 5)) * (rng.bounded(2) ? 1 : -1));
        case CMD_OBJ_IMG_PATH_CHANGE: return PATHS[rng.bounded(3)];
        case CMD_OBJ_TEXT_COLOR_CHANGE:
        case CMD_OBJ_TEXT_EDGE_COLOR_CHANGE:
        case CMD_OBJ_BG_COLOR_CHANGE:
        case CMD_OBJ_BORDER_COLOR_CHANGE:
        case CMD_OBJ_RULEDLINE_COLOR_CHANGE: return color();
        case CMD_OBJ_TEXT_ITALIC_CHANGE:
        case CMD_OBJ_TEXT_UNDERLINE_CHANGE:
        case CMD_OBJ_TEXT_STRIKEOUT_CHANGE:
        case CMD_OBJ_TEXT_IMAGING_CHANGE:
        case CMD_OBJ_TEXT_TATEGAKI_CHANGE:
        case CMD_OBJ_BG_COLOR_ENABLED_CHANGE:
        case CMD_OBJ_IMG_RATIO_KEEP_CHANGE:
        case CMD_OBJ_IMG_CENTER_CHANGE: return boolean();
        default: return num(-10, 10); // the vertical-writing corrections
        }
    }
};

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // The executor's diagnostics would swamp the log.
        QLoggingCategory::setFilterRules("default.debug=false");
    }

    void perObjectValuesRestored()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 20);
        DrawObject* c = f.place(0, 30);
        f.select({a, b, c});
        f.ui->spnX->setValue(50);
        QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({50, 50, 50}));
        QCOMPARE(f.w->mListUndo.last()->value, EditingFixture::perObject({"10", "20", "30"}));
        f.w->undo();
        QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({10, 20, 30}));
        QVERIFY(f.ui->spnX->text().isEmpty()); // differing values: no single number to show
        f.w->redo();
        QCOMPARE(QList<int>({a->x, b->x, c->x}), QList<int>({50, 50, 50}));
        QCOMPARE(f.ui->spnX->text(), QString("50"));

        // All at the same place: the record is that one value and the panel shows it.
        f.ui->spnX->setValue(60);
        QCOMPARE(f.w->mListUndo.last()->value, QString("50"));
        f.w->undo();
        QCOMPARE(f.ui->spnX->text(), QString("50"));
    }

    void correctionsUndoIndependently()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        a->textTateRevRotateX = 5;
        a->textTateRevRotateY = 3;
        f.select({a});
        f.w->textDetailChanged(CMD_OBJ_TEXT_TATE_REV_ROTATE_Y_CHANGE, 7);
        QCOMPARE(a->textTateRevRotateY, 7);
        f.w->undo();
        QCOMPARE(a->textTateRevRotateY, 3);
        QCOMPARE(a->textTateRevRotateX, 5);
    }

    void limitDropsOldestAndItsObjects()
    {
        EditingFixture f;
        DrawObject* gone = f.place(0, 0);
        DrawObject* keep = f.place(0, 0);
        f.run(CMD_OBJ_DELETE, "", {gone}); // its record owns `gone`
        for (int i = 0; i < 200; ++i)
            f.run(CMD_OBJ_X_CHANGE, QString::number(i), {keep});
        QCOMPARE(f.w->mListUndo.size(), 200);
        for (Command* r : f.w->mListUndo)
            QCOMPARE(r->type, int(CMD_OBJ_X_CHANGE)); // the deletion's record (and `gone`) were destroyed
        int undone = 0;
        while (!f.w->mListUndo.isEmpty()) {
            f.w->undo();
            ++undone;
        }
        QCOMPARE(undone, 200);
        QCOMPARE(keep->x, 0);
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({keep}));
    }

    void newCommandEmptiesRedo()
    {
        EditingFixture f;
        auto* made = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "0,-1", {made});
        f.w->undo(); // the redo record now owns `made`
        QVERIFY(f.w->mListArea[0]->isEmpty());
        QVERIFY(f.w->mListSelected.isEmpty());
        QCOMPARE(f.w->mListRedo.size(), 1);
        DrawObject* other = f.place(0, 0);
        f.run(CMD_OBJ_X_CHANGE, "4", {other}); // destroys `made` with the redo record
        QVERIFY(f.w->mListRedo.isEmpty());
        f.w->redo(); // nothing to redo
        QCOMPARE(f.w->mListArea[0]->size(), 1);

        // Commands without an inverse leave both lists alone.
        f.w->undo();
        QCOMPARE(f.w->mListRedo.size(), 1);
        f.run(CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE, "false", {other});
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "false", {other});
        QCOMPARE(f.w->mListRedo.size(), 1);
        QVERIFY(f.w->mListUndo.isEmpty());
    }

    void deleteUndoRedoKeepsStackingIndex()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 0);
        DrawObject* c = f.place(0, 0);
        f.select({b});
        f.run(CMD_OBJ_DELETE, "", {b});
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({a, c}));
        f.w->undo();
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({a, b, c}));
        QCOMPARE(f.w->mListSelected, QList<DrawObject*>({b})); // re-created objects are selected
        f.w->redo();
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({a, c}));
        f.w->undo();
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({a, b, c}));

        // Several objects deleted in an order against their stacking come back
        // exactly where they were.
        DrawObject* d = f.place(0, 0);
        f.run(CMD_OBJ_DELETE, "", {d, a, c});
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({b}));
        f.w->undo();
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({a, b, c, d}));
    }

    void severalTargetsRestack()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(0, 0);
        DrawObject* c = f.place(0, 0);
        DrawObject* d = f.place(0, 0);
        f.run(CMD_OBJ_Z_CHANGE, "0,3", {c, a});
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({b, d, c, a}));
        f.w->undo();
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({a, b, c, d}));
        f.w->redo();
        QCOMPARE(*f.w->mListArea[0], QList<DrawObject*>({b, d, c, a}));
    }

    void ruledLinesRoundTrip()
    {
        EditingFixture f;
        DrawObject* a = f.place(0, 0);
        a->ruledline = 1 | 8;
        f.select({a});
        f.ui->chkRuledLine_Top->setChecked(false); // sends -1
        QCOMPARE(a->ruledline, 8);
        f.w->undo();
        QCOMPARE(a->ruledline, 9);
        QVERIFY(f.ui->chkRuledLine_Top->isChecked() && f.ui->chkRuledLine_Bottom->isChecked());

        a->ruledline = 1;
        f.select({a});
        f.ui->chkRuledLine_Bottom->setChecked(true); // sends 8
        QCOMPARE(a->ruledline, 9);
        f.w->undo();
        QCOMPARE(a->ruledline, 1);
        QVERIFY(!f.ui->chkRuledLine_Bottom->isChecked());
        f.w->redo();
        QCOMPARE(a->ruledline, 9);
        QVERIFY(f.ui->chkRuledLine_Bottom->isChecked());
        QCOMPARE(f.w->mListUndo.size(), 1); // no box set by undo or redo sent a command
    }

    void randomHistoryUndoesAndRedoesExactly()
    {
        const QByteArray env = qgetenv("ZAMFU_SEED");
        const quint32 seed = env.isEmpty() ? QRandomGenerator::global()->generate() : env.toUInt();
        const QString tag = QString("seed %1 (rerun with ZAMFU_SEED=%1)").arg(seed);

        EditingFixture f;
        QRandomGenerator rng(seed);
        for (int i = 0; i < 36; ++i)
            f.place(i % 4, rng.bounded(400), rng.bounded(300), 20 + rng.bounded(200), 20 + rng.bounded(100))->text =
                QString("obj %1").arg(i);
        RandomEditor editor(f.w, seed);

        int total = 0;
        for (int round = 0; round < 20; ++round) {
            const QStringList start = snapshot(f.w);
            int records = 0;
            for (int k = 0; k < 150; ++k, ++total) {
                const int roll = rng.bounded(20);
                if (roll == 0 && records > 0) {
                    f.w->undo();
                    --records;
                } else if (roll == 1 && !f.w->mListRedo.isEmpty()) {
                    f.w->redo();
                    ++records;
                } else if (editor.step()) {
                    ++records;
                }
            }
            const QStringList end = snapshot(f.w);
            const int redoLeft = f.w->mListRedo.size(); // undone in the round, never replaced
            for (int k = 0; k < records; ++k)
                f.w->undo();
            const QStringList undone = snapshot(f.w);
            QVERIFY2(undone == start, qPrintable(QString("round %1, undo all, %2: %3")
                                                      .arg(round).arg(tag, firstDifference(start, undone))));
            for (int k = 0; k < records; ++k)
                f.w->redo();
            const QStringList redone = snapshot(f.w);
            QVERIFY2(redone == end, qPrintable(QString("round %1, redo all, %2: %3")
                                                     .arg(round).arg(tag, firstDifference(end, redone))));
            QVERIFY2(f.w->mListRedo.size() == redoLeft, qPrintable(tag));
            for (QList<DrawObject*>* list : f.w->mListArea)
                for (DrawObject* o : *list)
                    QVERIFY2(o->selected == f.w->mListSelected.contains(o), qPrintable(tag));
        }
        QVERIFY(total >= 3000);
    }
};

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

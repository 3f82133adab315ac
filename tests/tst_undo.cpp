// Commands and their history: what the executor does with selections,
// creation, stacking, links and damaged chains; how a record spreads its
// values over its objects, what the panel shows after undoing, the history
// bound, and seeded random histories that must undo and redo exactly. The
// document bounds: every way content grows is refused with a message once it
// would go past a bound, and a refused edit changes nothing and leaves no record.
#include "doclimits.h"
#include "document.h"
#include "editorfixture.h"

#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

// Every stored field, page and stacking index of the document, as text.
QStringList snapshot(MainWindow* w)
{
    QStringList out;
    for (int area = 0; area < w->mListArea.size(); ++area) {
        for (DrawObject* o : *w->mListArea[area]) {
            QString line = QString("%1:%2:%3").arg(area).arg(quintptr(o), 0, 16).arg(w->getObjectZ(o));
            for (int code = 0; code <= 51; ++code)
                line += "|" + Command::fieldValue(o, code);
            out << line + QString("|%1|%2|%3").arg(o->ruledline).arg(o->imgPath).arg(o->textLinkList != nullptr);
        }
    }
    return out;
}

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

quint32 seed()
{
    const quint32 s = qEnvironmentVariableIsSet("ZAMFU_SEED") ? qgetenv("ZAMFU_SEED").toUInt() : QRandomGenerator::global()->generate();
    qInfo("seed %u (rerun with ZAMFU_SEED=%u)", s, s);
    return s;
}

// A value of the kind the code takes; plain fields by what they hold.
QString randomValue(QRandomGenerator& rng, int code)
{
    auto num = [&](int lo, int hi) { return QString::number(lo + int(rng.bounded(hi - lo + 1))); };
    auto pick = [&](const QStringList& from) { return from.at(rng.bounded(from.size())); };
    const DrawObject probe(0, 0, 1, 1);
    const QString sample = Command::fieldValue(&probe, code);
    if (code == CMD_OBJ_CREATE || code == CMD_OBJ_Z_CHANGE)
        return num(0, 3) + "," + num(-1, 8);
    if (code == CMD_OBJ_RECT_CHANGE || code == CMD_OBJ_RECT_MOVE)
        return QStringList({num(-5, 300), num(-5, 300), num(-5, 300), num(-5, 300)}).join(',');
    if (code == CMD_OBJ_RULEDLINE_CHANGE)
        return QString::number((1 << rng.bounded(6)) * (rng.bounded(2) ? 1 : -1));
    if (sample == "true" || sample == "false")
        return pick({"true", "false", "True", "1"});
    if (sample.count(',') == 3)
        return QStringList({num(0, 255), num(0, 255), num(0, 255), num(0, 255)}).join(',');
    bool isNumber = false;
    sample.toInt(&isNumber);
    return isNumber ? num(-10, 60)
                    : pick({"", "日本語の文章です。", "line1\nline2", "Serif", "/nonexistent/zamfu/a.png",
                            "Shape=1;LineColor=0,0,0,255;LineStyle=1;LineWidth=1;LineCount=3;"});
}

// One recorded command of a random code that has an inverse, on 1 to 3 random
// targets, sometimes with per-object values. True when it left a record.
bool randomCommand(Editor& f, QRandomGenerator& rng)
{
    int code = CMD_OBJ_SELECT;
    while (!Command::hasField(code) && !QList<int>({0, 1, 6, 12, 13, 45, 49}).contains(code))
        code = int(rng.bounded(56)) % 52; // creations a little more often, so the pages stay populated
    QList<DrawObject*> inDoc;
    for (QList<DrawObject*>* list : f.w.mListArea)
        inDoc << *list;
    QList<DrawObject*> targets;
    QStringList values;
    for (int n = 1 + rng.bounded(3); n > 0; --n) {
        DrawObject* o = code == CMD_OBJ_CREATE ? new DrawObject(rng.bounded(400), rng.bounded(300), 30, 30)
                        : inDoc.isEmpty()      ? nullptr
                                               : inDoc.at(rng.bounded(inDoc.size()));
        if (o && !targets.contains(o)) {
            targets << o;
            values << randomValue(rng, code);
        }
    }
    const bool perObject = targets.size() > 1 && rng.bounded(3) == 0;
    const Command* last = f.w.mListUndo.isEmpty() ? nullptr : f.w.mListUndo.last();
    f.run(code, perObject ? Command::joinPerObject(values) : values.value(0), targets);
    return !f.w.mListUndo.isEmpty() && f.w.mListUndo.last() != last;
}

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void selectionCreationStackingAndValues()
    {
        Editor f;
        DrawObject* a = f.place(0, 10);
        DrawObject* b = f.place(0, 20);
        f.ui->spnX->setValue(55); // nothing selected: no target, no effect
        QCOMPARE(a->x, 10);
        f.select({a, b});
        f.w.selectObject("add", b, false); // no duplicate
        QCOMPARE(f.w.mListSelected, QList<DrawObject*>({a, b}));
        QVERIFY(a->selected && b->selected && f.ui->wgtObj->isEnabled());

        f.w.mPointerMode = POINTER_MOVE;
        f.w.mLastX = f.w.mPressY = 7;
        f.w.mNewUndoStep = false;
        f.ui->btnTextLinkOnOff->show();
        f.run(CMD_OBJ_DELETE, "", {a, b});
        QVERIFY(f.w.mListSelected.isEmpty() && !a->selected && !f.ui->wgtObj->isEnabled());
        QVERIFY(f.ui->txtText->toPlainText().isEmpty() && f.ui->btnTextLinkOnOff->isHidden());
        QVERIFY(f.w.mPointerMode == POINTER_IDLE && f.w.mLastX + f.w.mPressY == 0 && f.w.mNewUndoStep);
        QCOMPARE(f.w.mListUndo.size(), 1); // the deletion; selections are never recorded

        // Creation and stacking places.
        a = f.place(1, 0), b = f.place(1, 0);
        auto* top = new DrawObject(0, 0, 10, 10);
        auto* bottom = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "1,-1", {top});
        f.run(CMD_OBJ_CREATE, "1,0", {bottom});
        QCOMPARE(*f.w.mListArea[1], QList<DrawObject*>({bottom, a, b, top}));
        QVERIFY(f.w.mListSelected == QList<DrawObject*>({bottom}) && !top->selected);
        f.run(CMD_OBJ_Z_CHANGE, "1,99", {bottom});
        f.run(CMD_OBJ_Z_CHANGE, "0,0", {a}); // not in that list: stays
        QCOMPARE(*f.w.mListArea[1], QList<DrawObject*>({a, b, top, bottom}));

        // A bad area number never loses the object: it lands on the current page.
        auto* stray = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "9,0", {stray});
        QCOMPARE(f.w.getObjectArea(stray), f.w.getCurrentArea());

        const int records = f.w.mListUndo.size();
        a->textItalic = true;
        f.run(CMD_OBJ_TEXT_ITALIC_CHANGE, "True", {a});
        f.run(CMD_OBJ_Y_CHANGE, "junk", {a});
        f.run(8, "12", {a}); // unassigned: no effect, nothing recorded
        QVERIFY(!a->textItalic && a->y == 0 && f.w.mListUndo.size() == records + 2);
    }

    void linkCommandsAndDamagedChains()
    {
        Editor f;
        DrawObject* a = f.place(0, 0);
        DrawObject* b = f.place(1, 0);
        DrawObject* c = f.place(0, 200);
        a->textSize = 20;
        f.run(CMD_OBJ_X_CHANGE, "5", {c});
        f.w.undo();
        f.select({a});
        f.w.TextLinkInsertObj(b);
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {b, c});
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, b, c}));
        QCOMPARE(c->textSize, 20);
        // Links and sharing record nothing and keep what can be redone.
        f.run(CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE, "false", {c});
        QVERIFY(f.w.mListUndo.isEmpty() && f.w.mListRedo.size() == 1);

        // A change reaches the members that share, and only from one that shares.
        f.select({a});
        f.ui->spnTextSize->setValue(30);
        f.run(CMD_OBJ_TEXT_SIZE_CHANGE, "8", {c});
        f.run(CMD_OBJ_BG_RADIUS_CHANGE, "9", {a}); // not a text setting
        QCOMPARE(QList<int>({a->textSize, b->textSize, c->textSize, a->bgRadius, b->bgRadius}), QList<int>({30, 30, 8, 9, 0}));

        // A link command without its second box, or onto a linked box, does nothing.
        DrawObject* d = f.place(0, 300);
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {d});
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {d, b});
        QVERIFY(!d->textLinkList && a->textLinkList->size() == 3);

        // Damaged chains are repaired. Null entries, a duplicate and a member claiming
        // another list, as a broken file could leave them: only a and b really belong.
        a = f.place(2, 0), b = f.place(2, 100), c = f.place(2, 200);
        QList<DrawObject*> other{c};
        c->textLinkList = &other;
        a->textLinkList = b->textLinkList = new QList<DrawObject*>{nullptr, a, c, b, a};
        f.run(CMD_OBJ_DELETE, "", {b});
        QVERIFY(!a->textLinkList && !b->textLinkList && c->textLinkList == &other);
        c->textLinkList = nullptr;
        a->textLinkList = new QList<DrawObject*>{a, nullptr}; // one member
        f.run(CMD_OBJ_TEXT_LINK_CHANGE, "true", {a, c}); // starts a sound chain
        QCOMPARE(*a->textLinkList, QList<DrawObject*>({a, c}));
        f.run(CMD_OBJ_DELETE, "", {a, c});
        f.w.undo();
        f.w.undo();
        QVERIFY(f.w.mListArea[2]->size() == 3 && !a->textLinkList);
    }

    void perObjectValuesDistributed()
    {
        const QString S = Command::SEPA_OBJVAL;
        // Targets, value, what each target gets, and how many values there were.
        const QList<std::tuple<int, QString, QStringList, int>> cases = {
            {3, "5", {"5", "5", "5"}, 1}, {3, "1" + S + "2" + S + "3" + S, {"1", "2", "3"}, 3},
            {3, "1" + S + "2" + S, {"1", "2", "1"}, 2}, // short list: the first value for the rest
            {2, "1" + S + "2" + S + "3" + S + "4" + S, {"1", "2"}, 2}, // surplus ignored
            {3, S + "a" + S, {"", "a", ""}, 2}, // empty values stay values
            {2, "", {"", ""}, 1}, {0, "x", {}, 0}};
        for (const auto& [targets, value, parts, values] : cases) {
            Command cmd;
            for (int i = 0; i < targets; ++i)
                cmd.addObj(reinterpret_cast<DrawObject*>(quintptr(16 * (i + 1))));
            cmd.value = value;
            int count = -1;
            QCOMPARE(cmd.distributeValues(&count), parts);
            QCOMPARE(count, values);
        }
    }

    void panelRecordsRestoreEachObject()
    {
        Editor f;
        QList<DrawObject*> objs{f.place(0, 10), f.place(0, 20), f.place(0, 30)};
        f.select(objs);
        f.ui->spnX->setValue(50);
        f.w.undo();
        QCOMPARE(QList<int>({objs[0]->x, objs[1]->x, objs[2]->x}), QList<int>({10, 20, 30}));
        QVERIFY(f.ui->spnX->text().isEmpty()); // differing values: no single number to show
        f.w.redo();
        f.ui->spnX->setValue(60);
        f.w.undo(); // all were at 50: the record is that one value, and the panel shows it
        QCOMPARE(f.ui->spnX->text(), QString("50"));
        // Only x, y and r collapse; every other record lists each target, so
        // undoing a width change on equal boxes leaves the field blank.
        const QString S = Command::SEPA_OBJVAL;
        f.ui->spnW->setValue(150);
        QCOMPARE(f.w.mListUndo.last()->value, QString("100" + S).repeated(3));
        f.w.undo();
        QVERIFY(objs[2]->w == 100 && f.ui->spnW->text().isEmpty());
        f.run(CMD_OBJ_TEXT_SIZE_CHANGE, "20", objs);
        QCOMPARE(f.w.mListUndo.last()->value, QString("12" + S).repeated(3));
        f.run(CMD_OBJ_R_CHANGE, "30", objs);
        QCOMPARE(f.w.mListUndo.last()->value, QString("0"));

        // A ruled-line record restores the whole set, and the boxes show it.
        DrawObject* a = objs[0];
        a->ruledline = 1;
        f.select({a});
        f.ui->chkRuledLine_Bottom->click(); // sends 8
        f.w.undo();
        QVERIFY(a->ruledline == 1 && !f.ui->chkRuledLine_Bottom->isChecked() && f.ui->chkRuledLine_Top->isChecked());
        f.w.redo();
        QVERIFY(a->ruledline == 9 && f.ui->chkRuledLine_Bottom->isChecked());
        f.run(CMD_OBJ_RULEDLINE_CHANGE, "0", {a});
        QCOMPARE(a->ruledline, 9);
        QCOMPARE(f.w.mListUndo.size(), 5); // no box set by the executor answered with a command
    }

    void limitDropsOldestAndNewCommandEmptiesRedo()
    {
        Editor f;
        DrawObject* gone = f.place(0, 0);
        DrawObject* keep = f.place(0, 0);
        f.run(CMD_OBJ_DELETE, "", {gone}); // its record owns `gone` (a leak checker sees it freed)
        for (int i = 0; i < 200; ++i)
            f.run(CMD_OBJ_X_CHANGE, QString::number(i + 1), {keep});
        QVERIFY(f.w.mListUndo.size() == 200 && f.w.mListUndo.first()->type == CMD_OBJ_X_CHANGE);
        while (!f.w.mListUndo.isEmpty())
            f.w.undo();
        QCOMPARE(keep->x, 0);
        QCOMPARE(*f.w.mListArea[0], QList<DrawObject*>({keep}));

        auto* made = new DrawObject(0, 0, 10, 10);
        f.run(CMD_OBJ_CREATE, "0,-1", {made});
        f.w.undo(); // the redo record now owns `made`
        QVERIFY(f.w.mListArea[0]->size() == 1 && f.w.mListSelected.isEmpty());
        f.run(CMD_OBJ_X_CHANGE, "4", {keep}); // destroys `made` and every other redo record
        QVERIFY(f.w.mListRedo.isEmpty());
        f.w.redo(); // nothing to redo
        QCOMPARE(*f.w.mListArea[0], QList<DrawObject*>({keep}));
    }

    void randomHistoryUndoesAndRedoesExactly()
    {
        Editor f;
        QRandomGenerator rng(seed());
        for (int i = 0; i < 36; ++i)
            f.place(i % 4, rng.bounded(400), rng.bounded(300), 20 + rng.bounded(200))->text = QString("obj %1").arg(i);

        for (int round = 0; round < 20; ++round) {
            const QStringList start = snapshot(&f.w);
            int records = 0;
            for (int k = 0; k < 150; ++k) {
                const int roll = rng.bounded(20);
                if (roll == 0 && records > 0) {
                    f.w.undo();
                    --records;
                } else if (roll == 1 && !f.w.mListRedo.isEmpty()) {
                    f.w.redo();
                    ++records;
                } else if (randomCommand(f, rng)) {
                    ++records;
                }
            }
            const QStringList end = snapshot(&f.w);
            const int redoLeft = f.w.mListRedo.size();
            for (int k = 0; k < records; ++k)
                f.w.undo();
            QCOMPARE(snapshot(&f.w), start);
            for (int k = 0; k < records; ++k)
                f.w.redo();
            QCOMPARE(snapshot(&f.w), end);
            QCOMPARE(f.w.mListRedo.size(), redoLeft);
            for (QList<DrawObject*>* list : f.w.mListArea)
                for (DrawObject* o : *list)
                    QCOMPARE(o->selected, f.w.mListSelected.contains(o));
        }
    }

    void modifiedMarkFindsTheSavedPointAgain()
    {
        QTemporaryDir dir;
        Editor f;
        QRandomGenerator rng(seed());
        for (int i = 0; i < 24; ++i)
            f.place(i % 4, rng.bounded(400), rng.bounded(300));
        for (int round = 0; round < 8; ++round) {
            QVERIFY(f.w.fileSave(dir.filePath("book.xml")));
            const QStringList saved = snapshot(&f.w);
            int fromSaved = 0; // recorded steps since the save; below 0 the saved state waits in redo
            bool reachable = true;
            for (int k = 0; k < 100; ++k) {
                const int roll = rng.bounded(4);
                if (roll == 0 && !f.w.mListUndo.isEmpty()) {
                    f.w.undo(), --fromSaved;
                } else if (roll == 1 && !f.w.mListRedo.isEmpty()) {
                    f.w.redo(), ++fromSaved;
                } else if (randomCommand(f, rng)) {
                    reachable = reachable && fromSaved >= 0; // a new step empties redo
                    ++fromSaved;
                }
                const bool atSaved = reachable && fromSaved == 0;
                QCOMPARE(f.w.isWindowModified(), !atSaved);
                if (atSaved)
                    QCOMPARE(snapshot(&f.w), saved);
            }
        }
    }

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

QTEST_MAIN(TestUndo)
#include "tst_undo.moc"

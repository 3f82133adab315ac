// Recovery copies: when they are taken, which editor owns which, what happens
// when they cannot be written, and the real program killed and started again.
#include "document.h"
#include "drawobject.h"
#include "mainwindow.h"
#include "recovery.h"
#include "seamtestcase.h"
#include "ui_mainwindow.h"

#include <QDirIterator>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Every stored field of a document as text. Chains are told by the order in
// which they are met, since their ids differ from one writing to the next.
QStringList describe(const DocumentContent& c)
{
    QStringList out{QString::fromUtf8(Document::write(c.settings, {}, QString()))};
    QList<const QList<DrawObject*>*> chains;
    for (int a = 0; a < c.areas.size(); ++a)
        for (DrawObject* o : c.areas.at(a)) {
            QDomDocument d;
            const QDomElement obj = Document::ObjectToElement(&d, o);
            QStringList fields{QString::number(a)};
            for (QDomElement e = obj.firstChildElement(); !e.isNull(); e = e.nextSiblingElement()) {
                QString v = e.text();
                if (e.tagName() == "text-link-id" && o->textLinkList) {
                    if (!chains.contains(o->textLinkList))
                        chains << o->textLinkList;
                    v = QString::number(chains.indexOf(o->textLinkList));
                }
                fields << e.tagName() + "=" + v;
            }
            out << fields.join('|');
        }
    return out;
}

QStringList describeFile(const QString& path, const QString& folder)
{
    DocumentContent c;
    return Document::parse(readFile(path), folder, &c) ? describe(c) : QStringList();
}

QJsonObject sideData(const QString& copy)
{
    return QJsonDocument::fromJson(readFile(QString(copy).replace(".xml", ".info"))).object();
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A small document: a chain of two boxes and a box with every kind of field
// set. Returns the content's areas as the window holds them.
QList<QList<DrawObject*>*> fillDocument(DocumentContent& doc)
{
    auto* a = new DrawObject(10, 20, 100, 50);
    auto* b = new DrawObject(200, 20, 100, 50);
    auto* chain = new QList<DrawObject*>{a, b};
    a->textLinkList = b->textLinkList = chain;
    a->text = "連結した文章が二つの箱を流れる。";
    a->relocateText(QString()); // hands b its share, as the editor always has
    auto* c = new DrawObject(5, 6, 70, 80);
    c->r = 15, c->textColor = QColor(1, 2, 3, 4), c->text = "縦\n書き", c->textFont = "Serif";
    c->textMargin = 7, c->textSize = 19, c->textWeight = 75, c->textItalic = c->textUnderline = true;
    c->textStrikeout = c->textImaging = c->textTategaki = true, c->textAlign = 132;
    c->textLineSpacing = 9, c->textWordSpacing = 3, c->textEdgeWidth = 2, c->textEdgeColor = QColor(9, 8, 7, 6);
    c->textTateRevRotateX = 1, c->textTateRevRotateY = 2, c->textTateRevMiniX = 3, c->textTateRevMiniY = 4;
    c->textTateRevPuncX = 5, c->textTateRevPuncY = 6, c->shape = 3, c->shapeData = "Shape=3;";
    c->bgColor = QColor(10, 20, 30, 40), c->bgColorEnabled = true, c->bgRadius = 8;
    c->borderColor = QColor(50, 60, 70, 80), c->borderStyle = 2, c->borderWidth = 4, c->ruledline = 37;
    c->ruledlineColor = QColor(90, 91, 92, 93), c->ruledlineStyle = 3, c->ruledlineWidth = 5;
    c->imgPath = "/nonexistent/zamfu/p.png", c->imgRatioKeep = c->imgCenter = true, c->textLinkShareConf = false;
    doc.areas[0] << a << c;
    doc.areas[2] << b;
    QList<QList<DrawObject*>*> areas;
    for (QList<DrawObject*>& l : doc.areas)
        areas << &l;
    return areas;
}

} // namespace

class TstRecovery : public SeamTestCase
{
    Q_OBJECT
    QTemporaryDir mTmp;

    // ---- the real program ----

    // Starts the built program with its own home, data and config folders
    // under root, working through the script.
    QProcess* launch(const QString& root, const QString& name, const QStringList& script,
                     const QStringList& args = {})
    {
        const QString scriptPath = root + "/" + name + ".script";
        writeFile(scriptPath, script.join('\n').toUtf8());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& v : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString dir = root + "/" + QString(v).toLower();
            QDir().mkpath(dir);
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            env.insert(v, dir);
        }
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZAMFU_TEST_SCRIPT", scriptPath);
        auto* p = new QProcess(this);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->setStandardOutputFile(root + "/" + name + ".log");
        p->start(zamfuBinary(), args);
        return p;
    }
    static void killHard(QProcess* p)
    {
        p->kill(); // SIGKILL: nothing runs on the way out
        QVERIFY(p->waitForFinished(10000) && p->exitStatus() == QProcess::CrashExit);
    }
    // The copy under root's data folder holding exactly `doc`, or empty.
    static QString copyHolding(const QString& root, const QStringList& doc)
    {
        QDirIterator it(root + "/xdg_data_home", {"copy-*.xml"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            if (describeFile(path, sideData(path).value("folder").toString()) == doc)
                return path;
        }
        return QString();
    }
    // What a restarted editor at root answered "yes" to, run to its quit: its
    // document and its report.
    QStringList restart(const QString& root, const QString& name, const QStringList& args, QStringList* report)
    {
        QProcess* p = launch(root, name,
                             {"answer yes", "answer discard", "snapshot " + root + "/" + name + ".xml",
                              "report " + root + "/" + name + ".txt", "quit"},
                             args);
        if (!p->waitForFinished(20000) || p->exitCode() != 0)
            return {QString("%1 exited with %2").arg(name).arg(p->exitCode())};
        *report = QString::fromUtf8(readFile(root + "/" + name + ".txt")).split('\n', Qt::SkipEmptyParts);
        return describeFile(root + "/" + name + ".xml", QString());
    }

private slots:
    void scheduleKeepsCopiesFreshButSpaced()
    {
        // One change: a copy after the quiet time.
        AutosaveSchedule s;
        s.changed(1000);
        QVERIFY(s.isPending() && s.due() == 1000 + AutosaveSchedule::QUIET_MS);
        s.changed(1800); // the quiet time runs from the last change
        QCOMPARE(s.due(), 1800 + AutosaveSchedule::QUIET_MS);

        // Steady typing, a key every 150 ms for a minute: no change waits more
        // than five seconds for a copy, and copies are at least a second apart.
        AutosaveSchedule t;
        qint64 lastCopy = -1, oldestUncopied = -1, worstWait = 0, closest = LLONG_MAX;
        for (qint64 now = 0; now <= 60000; now += 10) {
            if (t.isPending() && now >= t.due()) {
                worstWait = qMax(worstWait, now - oldestUncopied);
                if (lastCopy >= 0)
                    closest = qMin(closest, now - lastCopy);
                t.copied(now), lastCopy = now, oldestUncopied = -1;
            }
            if (now % 150 == 0 && now < 50000)
                t.changed(now), oldestUncopied = oldestUncopied < 0 ? now : oldestUncopied;
        }
        QVERIFY2(worstWait <= AutosaveSchedule::LATEST_MS, qPrintable(QString::number(worstWait)));
        QVERIFY(closest >= AutosaveSchedule::MIN_GAP_MS && !t.isPending() && oldestUncopied < 0);
    }

    void onlyCopiesOfDeadEditorsAreOffered()
    {
        const QString dir = mTmp.filePath("store");
        DocumentContent doc;
        const QList<QList<DrawObject*>*> areas = fillDocument(doc);
        doc.settings.pageMax = 4, doc.settings.pageColor = QColor(1, 2, 3, 4), doc.settings.editAreaPattern = "mesh";
        const RecoveryInfo info{"/docs/book.xml", "/docs", "/pictures"};
        auto writeCopy = [&](RecoveryStore& s) {
            s.write(RecoveryStore::snapshot(doc.settings, areas), info);
            s.waitForDone();
        };

        auto* dying = new RecoveryStore(dir);
        writeCopy(*dying);
        RecoveryStore live(dir), other(dir);
        writeCopy(live);
        QVERIFY(other.claimOrphans().isEmpty()); // both owners are running
        const QString lost = dying->copyPath();
        delete dying; // gone without a normal quit, as after a crash
        const QList<RecoveryCopy> found = other.claimOrphans();
        QCOMPARE(found.size(), 1);
        QVERIFY(found[0].path == lost && found[0].info.original == "/docs/book.xml" && found[0].info.imageDir == "/pictures");
        QVERIFY(live.claimOrphans().isEmpty()); // claimed by `other` for now
        DocumentContent read; // every stored field went through the snapshot and back
        QVERIFY(other.read(found[0], &read));
        QCOMPARE(describe(read), describe(doc));

        // Declined: set aside, never offered again, gone at the next normal quit.
        other.decline(found[0]);
        QVERIFY(!QFile::exists(lost) && live.claimOrphans().isEmpty());
        QCOMPARE(QDir(dir).entryList({"declined-*"}).size(), 2);
        other.finish();
        QVERIFY(QDir(dir).entryList({"declined-*"}).isEmpty());
        QCOMPARE(QDir(dir).entryList({"copy-*.xml"}), QStringList(QFileInfo(live.copyPath()).fileName()));

        // Adopted: the copy becomes the new editor's own and goes with it.
        auto* crashed = new RecoveryStore(dir);
        writeCopy(*crashed);
        const QString second = crashed->copyPath();
        delete crashed;
        RecoveryStore restorer(dir);
        const QList<RecoveryCopy> again = restorer.claimOrphans();
        QCOMPARE(again.size(), 1);
        restorer.adopt(again[0]);
        QCOMPARE(restorer.copyPath(), second);
        restorer.finish();
        live.finish();
        QVERIFY(QDir(dir).entryList(QDir::Files).isEmpty());
    }

    void unwritableFolderLeavesEditingAlone()
    {
        // A data folder below a plain file cannot be made, not even by root.
        const QString blocker = mTmp.filePath("blocker");
        QVERIFY(writeFile(blocker, "x"));
        const QString book = mTmp.filePath("kept.xml");
        DrawObject o(1, 2, 3, 4);
        QVERIFY(Document::save(book, DocumentSettings(), {{&o}, {}, {}, {}}));
        const QByteArray before = readFile(book);

        MainWindow w;
        w.enableRecovery(blocker + "/recovery");
        QVERIFY(w.fileOpen(book));
        QSignalSpy failed(w.recovery(), &RecoveryStore::writeFailed);
        for (int x : {30, 40}) {
            w.selectObject("new", w.mListArea[0]->first(), false);
            w.ui->spnX->setValue(x);
            w.takeRecoveryCopy();
            w.recovery()->waitForDone();
            QCoreApplication::processEvents();
        }
        QCOMPARE(failed.size(), 1); // one notice, not one per attempt
        QVERIFY(w.ui->lblMsg->text().contains("復元") && seam->log.isEmpty()); // in the message line only
        QVERIFY(w.mListArea[0]->first()->x == 40 && w.isWindowModified() && readFile(book) == before);
        QVERIFY(w.fileSave(book) && !w.isWindowModified());
    }

    void killedEditorsAreRestored()
    {
        if (qEnvironmentVariableIsEmpty("ZAMFU_TEST_HOOKS"))
            QSKIP("the program was built without its test hook");
        const QString root = mTmp.filePath("e2e");
        const QString books = root + "/books";
        QVERIFY(QDir().mkpath(books + "/images"));
        QVERIFY(QFile::copy(sourceDir() + "/examples/sample.xml", books + "/sample.xml"));
        QVERIFY(QFile::copy(sourceDir() + "/examples/images/yama.png", books + "/images/yama.png"));
        const QByteArray original = readFile(books + "/sample.xml");

        // Two editors at once: a saved booklet and one never saved.
        QProcess* a = launch(root, "a",
                             {"click btnNewObj", "text txtText 書き足した文章\\n二行目", "value spnX 40",
                              "index cmbTextDirection 1", "click chkTextBold", "snapshot " + root + "/a.xml"},
                             {books + "/sample.xml"});
        QProcess* b = launch(root, "b",
                             {"file " + books + "/images/yama.png", "click btnNewObj", "value spnW 180", "click btnImg",
                              "index tabwgtMain 2", "click btnNewObj", "value spnTextSize 20", "snapshot " + root + "/b.xml"});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(root + "/a.xml") && QFile::exists(root + "/b.xml"), 20000);
        QElapsedTimer sinceEdits;
        sinceEdits.start();
        const QStringList editedA = describeFile(root + "/a.xml", QString());
        const QStringList editedB = describeFile(root + "/b.xml", QString());
        QVERIFY(editedA.size() > 20 && editedB.size() == 3 && editedB[1].contains("yama.png"));

        // Both copies are written within five seconds of the last edit.
        QTRY_VERIFY_WITH_TIMEOUT(!copyHolding(root, editedA).isEmpty() && !copyHolding(root, editedB).isEmpty(), 9000);
        QVERIFY2(sinceEdits.elapsed() <= AutosaveSchedule::LATEST_MS + 1000, qPrintable(QString::number(sinceEdits.elapsed())));
        const QString copyA = copyHolding(root, editedA);
        QCOMPARE(sideData(copyA).value("original").toString(), books + "/sample.xml");
        killHard(b);

        // A new editor is offered only the dead one's work, never the running one's.
        const QString asked = "asked=復元|前回の編集内容を復元しますか？";
        QStringList report;
        QCOMPARE(restart(root, "c", {}, &report), editedB);
        QCOMPARE(report, (QStringList{"title=無題[*] - Zamfu ver0.7.1", "file=", "modified=1", asked}));
        QCOMPARE(copyHolding(root, editedA), copyA);
        QVERIFY(copyHolding(root, editedB).isEmpty());

        // Started on its file, the booklet's editor gets its work back first,
        // bound to the file but not written over it.
        killHard(a);
        QCOMPARE(restart(root, "d", {books + "/sample.xml"}, &report), editedA);
        QCOMPARE(report, (QStringList{"title=sample.xml[*] - Zamfu ver0.7.1", "file=" + books + "/sample.xml", "modified=1", asked}));
        QVERIFY(readFile(books + "/sample.xml") == original);
        // Normal quits leave nothing behind.
        QDirIterator left(root + "/xdg_data_home", QDir::Files, QDirIterator::Subdirectories);
        QVERIFY2(!left.hasNext(), qPrintable(left.hasNext() ? left.next() : QString()));
    }
};

QTEST_MAIN(TstRecovery)
#include "tst_recovery.moc"

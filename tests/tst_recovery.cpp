// Recovery copies: when they are taken, which editor owns which, what happens
// when they cannot be written, and the real program killed and started again.
#include "document.h"
#include "drawobject.h"
#include "mainwindow.h"
#include "recovery.h"
#include "seamtestcase.h"
#include "ui_mainwindow.h"

#include <QtTest>

namespace {

// The document as its file holds it. Chains are told by the order in which
// they are met, since their ids differ from one writing to the next.
QString describe(const DocumentContent& c)
{
    const QString xml = QString::fromUtf8(Document::write(c.settings, c.areas, QString()));
    QStringList ids;
    QString out;
    int at = 0;
    for (auto it = QRegularExpression("<text-link-id>([^<]*)<").globalMatch(xml); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        if (!ids.contains(m.captured(1)))
            ids << m.captured(1);
        out += xml.mid(at, m.capturedStart(1) - at) + QString::number(ids.indexOf(m.captured(1)));
        at = m.capturedEnd(1);
    }
    return out + xml.mid(at);
}

QString describeFile(const QString& path, const QString& folder)
{
    DocumentContent c;
    return Document::parse(readFile(path), folder, &c) ? describe(c) : QString();
}

// The sample booklet, and one more box that sets what the booklet leaves at
// its defaults. Returns the content's areas as the window holds them.
QList<QList<DrawObject*>*> fillDocument(DocumentContent& doc)
{
    if (!Document::read(sourceDir() + "/examples/sample.xml", &doc))
        return {};
    auto* c = new DrawObject(5, 6, 70, 80);
    c->textItalic = c->textUnderline = c->textStrikeout = c->textImaging = true, c->textWordSpacing = 3, c->textLinkShareConf = false;
    c->textTateRevRotateX = 1, c->textTateRevRotateY = 2, c->textTateRevMiniX = 3, c->textTateRevMiniY = 4, c->textTateRevPuncX = 5;
    doc.areas[1] << c;
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

    // Starts the built program with its own home, data and config folders
    // under root, working through the script.
    QProcess* launch(const QString& root, const QString& name, const QStringList& script, const QStringList& args = {})
    {
        QFile scriptFile(root + "/" + name + ".script");
        if (scriptFile.open(QIODevice::WriteOnly))
            scriptFile.write(script.join('\n').toUtf8());
        scriptFile.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        for (const QString& v : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_RUNTIME_DIR"}) {
            const QString dir = root + "/" + QString(v).toLower();
            QDir().mkpath(dir);
            QFile::setPermissions(dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
            env.insert(v, dir);
        }
        env.insert("QT_QPA_PLATFORM", "offscreen");
        env.insert("ZAMFU_TEST_SCRIPT", scriptFile.fileName());
        auto* p = new QProcess(this);
        p->setProcessEnvironment(env);
        p->setProcessChannelMode(QProcess::ForwardedChannels);
        p->start(zamfuBinary(), args);
        return p;
    }
    // The copy under root's data folder holding exactly `doc`, or empty.
    static QString copyHolding(const QString& root, const QString& doc)
    {
        QDirIterator it(root + "/xdg_data_home", {"copy-*.xml"}, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            const QJsonObject side = QJsonDocument::fromJson(readFile(QString(path).replace(".xml", ".info"))).object();
            if (describeFile(path, side.value("folder").toString()) == doc)
                return path;
        }
        return QString();
    }

private slots:
    void scheduleKeepsCopiesFreshButSpaced()
    {
        AutosaveSchedule s;
        s.changed(1000);
        s.changed(1800); // the quiet time runs from the last change
        QCOMPARE(s.due(), 1800 + AutosaveSchedule::QUIET_MS);

        // Steady typing, a key every 150 ms for a minute: no change waits more
        // than five seconds for a copy, and copies are at least a second apart.
        AutosaveSchedule t;
        qint64 lastCopy = -1, oldestUncopied = -1, worstWait = 0, closest = LLONG_MAX;
        for (qint64 now = 0; now <= 60000; now += 10) {
            if (t.isPending() && now >= t.due()) {
                worstWait = qMax(worstWait, now - oldestUncopied);
                closest = lastCopy < 0 ? closest : qMin(closest, now - lastCopy);
                t.copied(now), lastCopy = now, oldestUncopied = -1;
            }
            if (now % 150 == 0 && now < 50000)
                t.changed(now), oldestUncopied = oldestUncopied < 0 ? now : oldestUncopied;
        }
        QVERIFY2(worstWait <= AutosaveSchedule::LATEST_MS, qPrintable(QString::number(worstWait)));
        QVERIFY(closest >= AutosaveSchedule::MIN_GAP_MS && !t.isPending());
    }

    void onlyCopiesOfDeadEditorsAreOffered()
    {
        const QString dir = mTmp.filePath("store");
        DocumentContent doc;
        const QList<QList<DrawObject*>*> areas = fillDocument(doc);
        QVERIFY(areas.size() == 4 && areas[0]->size() > 5);
        // A store that wrote a copy and vanished without a normal quit, as after a crash.
        auto crashed = [&] {
            RecoveryStore* s = new RecoveryStore(dir);
            s->write(RecoveryStore::snapshot(doc.settings, areas), RecoveryInfo{"/docs/book.xml", "/docs", "/pictures"});
            s->waitForDone();
            const QString path = s->copyPath();
            delete s;
            return path;
        };
        RecoveryStore live(dir), other(dir);
        live.write(RecoveryStore::snapshot(doc.settings, areas), RecoveryInfo{});
        live.waitForDone();
        QVERIFY(other.claimOrphans().isEmpty()); // its owner is running
        const QString lost = crashed();
        const QList<RecoveryCopy> found = other.claimOrphans();
        QVERIFY(found.size() == 1 && found[0].path == lost && found[0].info.imageDir == "/pictures");
        DocumentContent read; // every stored field went through the snapshot and back
        QVERIFY(other.read(found[0], &read));
        QCOMPARE(describe(read), describe(doc));

        // Declined: set aside, never offered again, gone at the next normal quit.
        other.decline(found[0]);
        QVERIFY(!QFile::exists(lost) && live.claimOrphans().isEmpty());
        other.finish();
        QCOMPARE(QDir(dir).entryList({"copy-*.xml", "declined-*"}), QStringList(QFileInfo(live.copyPath()).fileName()));

        // Adopted: the copy becomes the new editor's own and goes with it.
        const QString second = crashed();
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
        QFile blockerFile(blocker);
        QVERIFY(blockerFile.open(QIODevice::WriteOnly));
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
        QVERIFY(w.mListArea[0]->first()->x == 40 && readFile(book) == before && w.fileSave(book));
    }

    void killedEditorsAreRestored()
    {
        if (qEnvironmentVariableIsEmpty("ZAMFU_TEST_HOOKS"))
            QSKIP("the program was built without its test hook");
        const QString root = mTmp.filePath("e2e");
        const QString book = root + "/books/sample.xml";
        QVERIFY(QDir().mkpath(root + "/books/images"));
        QVERIFY(QFile::copy(sourceDir() + "/examples/sample.xml", book));
        QVERIFY(QFile::copy(sourceDir() + "/examples/images/yama.png", root + "/books/images/yama.png"));
        const QByteArray original = readFile(book);

        // Two editors at once: a saved booklet and one never saved, with a picture.
        QProcess* a = launch(root, "a",
                             {"click btnNewObj", "text txtText 書き足した文章\\n二行目", "value spnX 40",
                              "index cmbTextDirection 1", "click chkTextBold", "snapshot " + root + "/a.xml"},
                             {book});
        QProcess* b = launch(root, "b", {"file " + root + "/books/images/yama.png", "click btnNewObj", "click btnImg",
                                         "value spnTextSize 20", "snapshot " + root + "/b.xml"});
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(root + "/a.xml") && QFile::exists(root + "/b.xml"), 20000);
        QElapsedTimer sinceEdits;
        sinceEdits.start();
        const QString editedA = describeFile(root + "/a.xml", QString());
        const QString editedB = describeFile(root + "/b.xml", QString());
        QVERIFY(editedA.count("</obj>") > 19 && editedB.count("</obj>") == 1 && editedB.contains("yama.png"));

        // Both editors keep a copy of their work within five seconds of the last edit.
        QTRY_VERIFY_WITH_TIMEOUT(!copyHolding(root, editedA).isEmpty() && !copyHolding(root, editedB).isEmpty(), 9000);
        QVERIFY2(sinceEdits.elapsed() <= AutosaveSchedule::LATEST_MS + 1000, qPrintable(QString::number(sinceEdits.elapsed())));
        const QString copyA = copyHolding(root, editedA);

        // Each restart is offered only a dead editor's work, never a running
        // one's; the booklet's comes back bound to its file, not written over it.
        const QString asked = "asked=復元|前回の編集内容を復元しますか？";
        auto restart = [&](QProcess* dead, const QString& name, const QStringList& args) {
            dead->kill(); // SIGKILL: nothing runs on the way out
            QVERIFY(dead->waitForFinished(10000) && dead->exitStatus() == QProcess::CrashExit);
            QProcess* p = launch(root, name, {"answer yes", "answer discard", "snapshot " + root + "/" + name + ".xml",
                                              "report " + root + "/" + name + ".txt", "quit"}, args);
            QVERIFY(p->waitForFinished(20000) && p->exitCode() == 0);
        };
        auto report = [&](const QString& name) {
            return QString::fromUtf8(readFile(root + "/" + name + ".txt")).split('\n', Qt::SkipEmptyParts);
        };
        restart(b, "c", {});
        QCOMPARE(describeFile(root + "/c.xml", QString()), editedB);
        QCOMPARE(report("c"), (QStringList{"title=無題[*] - Zamfu ver0.7.1", "file=", "modified=1", asked}));
        QCOMPARE(copyHolding(root, editedA), copyA);
        restart(a, "d", {book});
        QCOMPARE(describeFile(root + "/d.xml", QString()), editedA);
        QCOMPARE(report("d"), (QStringList{"title=sample.xml[*] - Zamfu ver0.7.1", "file=" + book, "modified=1", asked}));
        QVERIFY(readFile(book) == original);
        // Normal quits leave nothing behind.
        QDirIterator left(root + "/xdg_data_home", QDir::Files, QDirIterator::Subdirectories);
        QVERIFY2(!left.hasNext(), qPrintable(left.hasNext() ? left.next() : QString()));
    }
};

QTEST_MAIN(TstRecovery)
#include "tst_recovery.moc"

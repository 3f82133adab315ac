// Opening, saving, new documents, remembered folders and dropped files in the window.
#include "document.h"
#include "drawobject.h"
#include "editarea.h"
#include "mainwindow.h"
#include "setting.h"
#include "testsupport.h"
#include "ui_mainwindow.h"

#include <QMimeData>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TstDocumentFile : public QObject
{
    Q_OBJECT
private:
    ScriptedSeam* seam = nullptr;
    const QString docPath = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);

    static QStringList tabTexts(MainWindow& w)
    {
        QStringList t;
        for (int i = 0; i < w.ui->tabwgtMain->count(); ++i)
            t << w.ui->tabwgtMain->tabText(i);
        return t;
    }
    // A four-page right-opening booklet with one box on edit area 1.
    static QString writeBooklet(const QString& path)
    {
        DocumentSettings s;
        s.pageMax = 4;
        s.pageDirection = "right";
        s.pageFoldLine = "line2";
        auto* o = new DrawObject(30, 40, 50, 60);
        o->text = "本文";
        QList<QList<DrawObject*>> areas{{}, {o}, {}, {}};
        Document::save(path, s, areas);
        DrawObject::null(o);
        return path;
    }
    static bool drop(MainWindow& w, const QList<QUrl>& urls)
    {
        QMimeData data;
        data.setUrls(urls);
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &enter);
        QDropEvent ev(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&w, &ev);
        return enter.isAccepted();
    }

private slots:
    void init()
    {
        Setting::resetDefaults();
        seam = ScriptedSeam::install();
    }
    void saveThenOpenThroughDialogs();
    void openReplacesDocumentAndSettings();
    void failedOpenOrSaveKeepsEverything();
    void newAsksFirst();
    void droppedFiles();
};

void TstDocumentFile::saveThenOpenThroughDialogs()
{
    QTemporaryDir dir;
    MainWindow w;
    w.mListArea[2]->append(new DrawObject(1, 2, 3, 4));
    Setting::PageColor = QColor(1, 2, 3, 4);

    seam->fileAnswers << dir.path() + "/book";
    w.on_btnSave_clicked();
    QCOMPARE(seam->log.last(), "save|保存|" + QDir::toNativeSeparators(docPath + "/新しいファイル.xml"));
    QVERIFY(QFile::exists(dir.path() + "/book.xml"));
    QCOMPARE(Setting::SaveDir, dir.path());
    QCOMPARE(Setting::SaveFile, QString("book.xml"));

    w.on_btnOpen_clicked(); // cancelled: nothing happens
    QCOMPARE(seam->log.last(), "open|開く|" + QDir::toNativeSeparators(dir.path() + "/book.xml"));
    QCOMPARE(w.mListArea[2]->size(), 1);

    Setting::PageColor = Qt::white;
    w.mListArea[0]->append(new DrawObject(0, 0, 1, 1));
    seam->fileAnswers << dir.path() + "/book.xml";
    w.on_btnOpen_clicked();
    QCOMPARE(w.mListArea[0]->size(), 0);
    QCOMPARE(w.mListArea[2]->size(), 1);
    QCOMPARE(w.mListArea[2]->at(0)->w, 3);
    QCOMPARE(Setting::PageColor, QColor(1, 2, 3, 4));
    QCOMPARE(QApplication::overrideCursor(), nullptr);
    QCOMPARE(w.getImageDir(), dir.path() + "/dummy.jpg");
}

void TstDocumentFile::openReplacesDocumentAndSettings()
{
    QTemporaryDir dir;
    const QString path = writeBooklet(dir.path() + "/four.XML");
    MainWindow w;
    QCOMPARE(w.getImageDir(), docPath + "/dummy.jpg");
    w.mListArea[0]->append(new DrawObject(0, 0, 1, 1));
    w.mListClipboard.append(new DrawObject(0, 0, 1, 1));
    w.ui->tabwgtMain->setCurrentIndex(2);

    QVERIFY(w.fileOpen(path));
    QCOMPARE(Setting::PageMax, 4);
    QCOMPARE(Setting::PageDirection, QString("right"));
    QCOMPARE(Setting::PageFoldLine, QString("line2"));
    QCOMPARE(tabTexts(w), EditArea::tabLabels(4, "right"));
    QCOMPARE(w.getCurrentArea(), 0);
    QVERIFY(w.mListArea[0]->isEmpty());
    QVERIFY(w.mListClipboard.isEmpty());
    QCOMPARE(w.mListArea[1]->size(), 1);
    QCOMPARE(w.mListArea[1]->at(0)->text, QString("本文"));
    QCOMPARE(Setting::SaveFile, QString("four.XML"));
    QCOMPARE(w.getImageDir(), dir.path() + "/dummy.jpg");
    QVERIFY(seam->log.filter("warning").isEmpty());
}

void TstDocumentFile::failedOpenOrSaveKeepsEverything()
{
    QTemporaryDir dir;
    QFile bad(dir.path() + "/bad.xml");
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("<orihon><page_max>4</page_max><page_area><obj>");
    bad.close();
    QImage(2, 2, QImage::Format_RGB32).save(dir.path() + "/p.png");

    MainWindow w;
    auto* keep = new DrawObject(5, 5, 5, 5);
    w.mListArea[0]->append(keep);
    for (const QString& p : {dir.path() + "/bad.xml", dir.path() + "/p.png", dir.path() + "/missing.xml"}) {
        seam->log.clear();
        QVERIFY(!w.fileOpen(p));
        QCOMPARE(seam->log, QStringList{"warning|開く|ファイル形式が無効です。"});
        QCOMPARE(*w.mListArea[0], QList<DrawObject*>{keep});
        QCOMPARE(Setting::PageMax, 8);
        QVERIFY(Setting::SaveDir.isEmpty());
    }

    seam->log.clear();
    QVERIFY(!w.fileSave(dir.path() + "/no/such/folder/x.xml"));
    QCOMPARE(seam->log.size(), 1);
    QVERIFY(seam->log.first().startsWith("warning|保存|"));
    QVERIFY(Setting::SaveDir.isEmpty());
    QCOMPARE(*w.mListArea[0], QList<DrawObject*>{keep});
}

void TstDocumentFile::newAsksFirst()
{
    MainWindow w;
    Setting::SaveDir = "/kept";
    w.mListArea[3]->append(new DrawObject(0, 0, 1, 1));
    seam->questionAnswers << QMessageBox::No;
    w.on_btnNew_clicked();
    QCOMPARE(seam->log.last(), QString("question|最初から|すべてクリアされます。よろしいですか？"));
    QCOMPARE(w.mListArea[3]->size(), 1);
    w.on_btnNew_clicked(); // Yes
    QVERIFY(w.mListArea[3]->isEmpty());
    QCOMPARE(Setting::SaveDir, QString("/kept"));
}

void TstDocumentFile::droppedFiles()
{
    QTemporaryDir dir;
    const QString doc = writeBooklet(dir.path() + "/book.XML");
    QImage(2, 2, QImage::Format_RGB32).save(dir.path() + "/p.png");
    MainWindow w;
    auto* keep = new DrawObject(5, 5, 5, 5);
    w.mListArea[0]->append(keep);

    QVERIFY(drop(w, {QUrl::fromLocalFile(dir.path() + "/p.png")}));
    QCOMPARE(seam->log, QStringList{"warning|開く|ファイル形式が無効です。"});
    QCOMPARE(w.mListArea[0]->size(), 1);
    QVERIFY(drop(w, {QUrl("https://example.invalid/book.xml")}));
    QCOMPARE(seam->log.size(), 2);
    QCOMPARE(w.mListArea[0]->size(), 1);

    QVERIFY(drop(w, {QUrl::fromLocalFile(doc), QUrl::fromLocalFile(dir.path() + "/p.png")}));
    QCOMPARE(seam->log.size(), 2);
    QCOMPARE(Setting::PageMax, 4);
    QCOMPARE(w.mListArea[1]->size(), 1);

    QMimeData text;
    text.setText("plain");
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QVERIFY(!enter.isAccepted());
}

QTEST_MAIN(TstDocumentFile)
#include "tst_documentfile.moc"

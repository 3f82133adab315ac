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
    ScriptedSeam* seam = nullptr;
    QTemporaryDir dir;
    const QString invalid = "warning|開く|ファイル形式が無効です。";

    // A four-page right-opening booklet with one box on edit area 1.
    QString writeBooklet(const QString& name)
    {
        DocumentSettings s;
        s.pageMax = 4, s.pageDirection = "right";
        DrawObject o(30, 40, 50, 60);
        Document::save(dir.path() + "/" + name, s, {{}, {&o}, {}, {}});
        return dir.path() + "/" + name;
    }
    static bool drop(MainWindow& w, const QString& path)
    {
        QMimeData data;
        data.setUrls({path.startsWith('/') ? QUrl::fromLocalFile(path) : QUrl(path)});
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
    void badFilesAndDropsKeepDocument();
    void newAsksFirst();
};

void TstDocumentFile::saveThenOpenThroughDialogs()
{
    const QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    MainWindow w;
    w.mListArea[2]->append(new DrawObject(1, 2, 3, 4));
    seam->fileAnswers << dir.path() + "/book";
    w.on_btnSave_clicked();
    QCOMPARE(seam->log.last(), "save|保存|" + QDir::toNativeSeparators(docs + "/新しいファイル.xml"));
    QVERIFY(QFile::exists(dir.path() + "/book.xml"));

    w.on_btnOpen_clicked(); // cancelled: nothing happens
    QCOMPARE(seam->log.last(), "open|開く|" + QDir::toNativeSeparators(dir.path() + "/book.xml"));
    QCOMPARE(w.mListArea[2]->size(), 1);

    w.mListArea[0]->append(new DrawObject(0, 0, 1, 1));
    seam->fileAnswers << dir.path() + "/book.xml";
    w.on_btnOpen_clicked();
    QVERIFY(w.mListArea[0]->isEmpty());
    QCOMPARE(w.mListArea[2]->at(0)->w, 3);
    QCOMPARE(QApplication::overrideCursor(), nullptr);
}

void TstDocumentFile::openReplacesDocumentAndSettings()
{
    const QString path = writeBooklet("four.XML");
    MainWindow w;
    w.mListClipboard.append(new DrawObject(0, 0, 1, 1));
    w.ui->tabwgtMain->setCurrentIndex(2);
    QVERIFY(w.fileOpen(path));
    QCOMPARE(Setting::PageDirection, QString("right"));
    QCOMPARE(w.ui->tabwgtMain->tabText(1), EditArea::tabLabels(4, "right").at(1));
    QCOMPARE(w.ui->tabwgtMain->count(), EditArea::tabLabels(4, "right").size());
    QCOMPARE(w.getCurrentArea(), 0);
    QVERIFY(w.mListClipboard.isEmpty());
    QCOMPARE(w.mListArea[1]->size(), 1);
    QCOMPARE(Setting::SaveFile, QString("four.XML"));
    QCOMPARE(w.getImageDir(), dir.path() + "/dummy.jpg");
}

void TstDocumentFile::badFilesAndDropsKeepDocument()
{
    QFile bad(dir.path() + "/bad.xml");
    QVERIFY(bad.open(QIODevice::WriteOnly) && bad.write("<orihon><page_max>4</page_max><page_area><obj>"));
    bad.close();
    QImage(2, 2, QImage::Format_RGB32).save(dir.path() + "/p.png");
    MainWindow w;
    auto* keep = new DrawObject(5, 5, 5, 5);
    w.mListArea[0]->append(keep);

    QVERIFY(!w.fileOpen(dir.path() + "/bad.xml"));
    QVERIFY(!w.fileOpen(dir.path() + "/missing.xml"));
    QVERIFY(drop(w, dir.path() + "/p.png"));
    QVERIFY(drop(w, "https://example.invalid/book.xml"));
    QCOMPARE(seam->log, (QStringList{invalid, invalid, invalid, invalid}));
    QVERIFY(!w.fileSave(dir.path() + "/no/such/x.xml"));
    QVERIFY(seam->log.last().startsWith("warning|保存|"));
    QCOMPARE(*w.mListArea[0], QList<DrawObject*>{keep});
    QCOMPARE(Setting::PageMax, 8);
    QVERIFY(Setting::SaveDir.isEmpty());

    QVERIFY(drop(w, writeBooklet("book.XML")));
    QCOMPARE(Setting::PageMax, 4);
    QCOMPARE(w.mListArea[1]->size(), 1);
    QMimeData text;
    text.setText("plain");
    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&w, &enter);
    QVERIFY(!enter.isAccepted());
}

void TstDocumentFile::newAsksFirst()
{
    MainWindow w;
    w.mListArea[3]->append(new DrawObject(0, 0, 1, 1));
    seam->questionAnswers << QMessageBox::No;
    w.on_btnNew_clicked();
    QCOMPARE(seam->log.last(), QString("question|最初から|すべてクリアされます。よろしいですか？"));
    QCOMPARE(w.mListArea[3]->size(), 1);
    w.on_btnNew_clicked(); // Yes
    QVERIFY(w.mListArea[3]->isEmpty());
}

QTEST_MAIN(TstDocumentFile)
#include "tst_documentfile.moc"

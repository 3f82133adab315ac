// Document files: writing, reading rules, chains, image paths, hostile input, atomic saves.
#include "doclimits.h"
#include "document.h"
#include "drawobject.h"
#include "imagestore.h"
#include "testsupport.h"

#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using Areas = QList<QList<DrawObject*>>;

// An object element with every field away from its default, in the written order.
QString fullObj(const QString& text, const QString& linkId, int linkIndex)
{
    return QString("<obj><x>11</x><y>21</y><r>15</r><w>151</w><h>91</h><text-color>1,2,3,4</text-color><text>%1</text>"
                   "<text-font>IPAGothic</text-font><text-margin>6</text-margin><text-line-spacing>7</text-line-spacing>"
                   "<text-word-spacing>-2</text-word-spacing><text-size>18</text-size><text-align>132</text-align>"
                   "<text-weight>75</text-weight><text-italic>true</text-italic><text-underline>true</text-underline>"
                   "<text-strikeout>true</text-strikeout><text-imaging>true</text-imaging><text-tategaki>true</text-tategaki>"
                   "<text-tate-rev-rotate>-1,2</text-tate-rev-rotate><text-tate-rev-mini>3,-4</text-tate-rev-mini>"
                   "<text-tate-rev-punc>5,6</text-tate-rev-punc><text-edge-color>9,8,7,6</text-edge-color>"
                   "<text-edge-width>3</text-edge-width><text-link-id>%2</text-link-id><text-link-index>%3</text-link-index>"
                   "<text-link-share-conf>true</text-link-share-conf><shape>4</shape><shape-data>Shape=3;LineWidth=1</shape-data>"
                   "<bg-color>200,100,50,25</bg-color><bg-color-enabled>true</bg-color-enabled><bg-radius>8</bg-radius>"
                   "<border-color>11,22,33,44</border-color><border-style>2</border-style><border-width>5</border-width>"
                   "<ruledline>48</ruledline><ruledline-color>55,66,77,88</ruledline-color><ruledline-style>3</ruledline-style>"
                   "<ruledline-width>2</ruledline-width><img-path>./img/p.png</img-path><img-ratio-keep>true</img-ratio-keep>"
                   "<img-center>true</img-center></obj>")
        .arg(text, linkId)
        .arg(linkIndex);
}

bool parseText(const QString& xml, DocumentContent* out, const QString& folder = "/d")
{
    return Document::parse(xml.toUtf8(), folder, out);
}

// Chain ids are list addresses of one run.
QByteArray withoutIds(const QByteArray& xml)
{
    return QString::fromUtf8(xml).replace(QRegularExpression("<text-link-id>[0-9a-f]+<"), "<text-link-id>ID<").toUtf8();
}

}

class TstDocument : public QObject
{
    Q_OBJECT
private slots:
    void roundTripAndReadingRules()
    {
        QTemporaryDir dir;
        QVERIFY(QDir().mkpath(dir.path() + "/img") && QImage(4, 4, QImage::Format_RGB32).save(dir.path() + "/img/p.png"));
        // A chain of three listed out of order over two areas, and an unlinked box.
        const QString file = "<orihon><paper_size>B5</paper_size><paper_margin>7</paper_margin><page_max>4</page_max>"
                             "<page_orientation>landscape</page_orientation><page_direction>kannon-right</page_direction>"
                             "<page_fold_line>line2</page_fold_line><page_form>slim</page_form><page_color>10,20,30,40</page_color>"
                             "<edit_area_pattern>mesh</edit_area_pattern><page_area area=\"8-1\">"
                             + fullObj("", "ab", 2) + fullObj("縦 a", "", -1) + fullObj("行 a", "ab", 0)
                             + "</page_area><page_area area=\"2-3\"/><page_area area=\"4-5\"/><page_area area=\"6-7\">"
                             + fullObj("", "ab", 1) + "</page_area></orihon>";
        DocumentContent doc;
        QVERIFY(parseText(file, &doc, dir.path()));
        const QByteArray written = Document::write(doc.settings, doc.areas, dir.path());
        QCOMPARE(withoutIds(QString(written).remove(QRegularExpression("\n *")).toUtf8()), withoutIds(file.toUtf8()));
        QCOMPARE(*doc.areas[0][0]->textLinkList, (QList<DrawObject*>{doc.areas[0][2], doc.areas[3][0], doc.areas[0][0]}));
        QVERIFY(doc.areas[0][1]->img && doc.areas[0][1]->img->usable()); // found from any working folder

        // Copies: every stored field, unselected, and out of any chain.
        doc.areas[0][1]->selected = true;
        QScopedPointer<DrawObject> copy(Document::copyObject(doc.areas[0][1])), linked(Document::copyObject(doc.areas[0][0]));
        QCOMPARE(Document::write({}, {{copy.data()}}, dir.path()), Document::write({}, {{doc.areas[0][1]}}, dir.path()));
        QVERIFY(!copy->selected && !linked->isTextLinked());

        const QString sample = sourceDir() + "/examples/sample.xml"; // the sample writes back unchanged
        QVERIFY(Document::read(sample, &doc));
        QCOMPARE(withoutIds(Document::write(doc.settings, doc.areas, QFileInfo(sample).absolutePath())),
                 withoutIds(readFile(sample)));

        // Reading rules: unknown values keep the default, the first field of a
        // name counts, colours need four parts (a fifth is ignored), and only
        // "./" is the document's folder.
        QVERIFY(parseText("<other><page_max>6</page_max><edit_area_pattern>grid</edit_area_pattern>"
                          "<page_color>1,2</page_color><paper_margin>x</paper_margin>"
                          "<page_area area=\"zz\"><obj><x>5</x><x>9</x><text-italic>True</text-italic>"
                          "<text-color>10,20,30</text-color><text-tate-rev-mini>7</text-tate-rev-mini>"
                          "<bg-color>1,2,x,4,5</bg-color><ruledline-color>1,1,1,1</ruledline-color></obj>"
                          "<obj><img-path>../p.png</img-path><x>-2147483648</x><w>2147483647</w><h>-5</h></obj></page_area></other>",
                          &doc, "/Users/a/Docs"));
        const DocumentSettings& s = doc.settings;
        QCOMPARE(QString("%1 %2 %3 %4").arg(s.pageMax).arg(s.paperMargin).arg(s.editAreaPattern, s.paperSize), QString("8 0 none A4"));
        const DrawObject *o = doc.areas[0][0], *far = doc.areas[0][1];
        QVERIFY(s.pageColor == QColor(Qt::white) && !o->textItalic && o->text.isEmpty() && far->imgPath == "../p.png");
        QCOMPARE(QList<int>({o->x, o->w, o->textSize, o->textTateRevMiniX, o->ruledline, far->x, far->w, far->h}),
                 QList<int>({5, 0, 0, 0, 1, -1000000, 1000000, 0}));
        QCOMPARE(QList<QColor>({o->textColor, o->bgColor, o->ruledlineColor}), QList<QColor>({Qt::black, QColor(1, 2, 0, 4), Qt::black}));
        // Paths are made relative only inside the folder itself.
        for (const QString& p : {"/a/Docs2/p.png", "/x/a/Docs/p.png"})
            QCOMPARE(Document::relativeImagePath(p, "/a/Docs"), p);

        // Chains with gaps, duplicate, negative, missing and huge indexes; a lone member.
        QString chains = "<o><page_area>";
        for (const QString& link : {"a:9", "a:-3", "a:0", "a:5", "a:5", "a:", "a:2000000000", "lone:3"})
            chains += QString("<obj><text>%2</text><text-link-id>%1</text-link-id><text-link-index>%2</text-link-index></obj>")
                          .arg(link.section(':', 0, 0), link.section(':', 1));
        QVERIFY(parseText(chains + "</page_area></o>", &doc));
        const QList<DrawObject*> a = doc.areas[0];
        QCOMPARE(*a[0]->textLinkList, (QList<DrawObject*>{a[2], a[3], a[4], a[0], a[6], a[1], a[5]}));
        QVERIFY(!a[7]->isTextLinked() && a[7]->text == "3");
    }

    void fileFormsMatchTheTreeForms()
    {
        // The writer streams what the DOM writes for the same content, byte for byte.
        const QStringList texts = {"]]>", "a]>b]]]>", "\r\n\t x", "<&>\"'", "縦😀", "", "\1z", "  \n  "};
        DocumentSettings settings;
        settings.paperSize = "A<4&]]>";
        Areas areas{{}, {}, {}, {}};
        QDomDocument dom;
        QVERIFY(dom.setContent(Document::write(settings, areas, "/d")));
        for (int i = 0; i < 4; ++i)
            for (int k = i / 3; i % 3 == 0 && k < texts.size(); k += 2) { // areas 1 and 4
                areas[i] << new DrawObject(k, -k, 10, 10);
                areas[i].last()->text = texts[k], areas[i].last()->textFont = texts[(k + 1) % texts.size()];
                areas[i].last()->imgPath = "/d/i" + texts[k];
                dom.elementsByTagName("page_area").at(i).appendChild(Document::ObjectToElement(&dom, areas[i].last(), "/d"));
            }
        QCOMPARE(Document::write(settings, areas, "/d"), dom.toByteArray(4));

        // The reader takes a field's text from all its descendants, the first
        // field of a name, and objects only from the first four page_areas.
        DocumentContent doc;
        QVERIFY(parseText(QString::fromUtf8(dom.toByteArray(4)), &doc, "/d"));
        for (int i = 0; i < texts.size(); ++i)
            QCOMPARE(doc.areas[i % 2 * 3][i / 2]->text, QString(texts[i]).remove('\1'));
        for (Areas::value_type& list : areas)
            qDeleteAll(list);
        QVERIFY(parseText("<o><page_area><obj><text>a<b>b<c> </c></b> <d/>c</text><text>x</text><w> <i/> </w>"
                          "<page_area><obj><x>3</x></obj></page_area></obj><q><obj><x>4</x></obj></q></page_area>"
                          "<page_area/><page_area/><page_area/><page_area>" + QString("<obj/>").repeated(Document::MAX_OBJECTS)
                              + "</page_area><paper_size>B<i>5</i></paper_size><paper_size>A3</paper_size></o>",
                          &doc));
        QVERIFY(doc.areas[0].size() == 1 && doc.areas[0][0]->x == 0 && doc.areas[0][0]->w == 0);
        QCOMPARE(doc.areas[0][0]->text + doc.settings.paperSize, QString("ab cB5"));
    }

    void badFilesFailAndSavesAreAtomic()
    {
        QTemporaryDir dir;
        const QByteArray good = readFile(sourceDir() + "/examples/sample.xml");
        QByteArray laughs = "<!DOCTYPE l [<!ENTITY l0 \"lollollollol\">", attributes = "<o><page_area";
        for (int i = 1; i <= 9; ++i)
            laughs += QString("<!ENTITY l%1 \"%2\">").arg(i).arg(QString("&l%1;").arg(i - 1).repeated(10)).toUtf8();
        for (int i = 0; i < 100000; ++i) // the XML reader would compare them pairwise for minutes
            attributes += " a" + QByteArray::number(i) + "=''";
        const QList<QByteArray> bad = {good.left(good.size() / 2), "", "<a>&undefined;</a>", attributes + "/></o>",
                                       laughs + "]><orihon><paper_size>&l9;</paper_size></orihon>", QByteArray("<a>").repeated(100000),
                                       "<o>" + QByteArray("<b/>").repeated(Document::MAX_ELEMENTS + 1) + "</o>",
                                       "<o><page_area>" + QByteArray("<obj/>").repeated(Document::MAX_OBJECTS + 1) + "</page_area></o>"};
        DocumentContent doc;
        for (const QByteArray& b : bad) {
            QVERIFY(Document::parse(good, "/d", &doc));
            QVERIFY2(!Document::parse(b, "/d", &doc), b.left(30).constData());
            QCOMPARE(doc.areas, Areas({{}, {}, {}, {}})); // never half-filled
        }
        QVERIFY(parseText("<o b=\"" + QString("=").repeated(40) + ">\"/>", &doc)); // "=" inside values are no attributes
        QFile big(dir.path() + "/big.xml");
        QVERIFY(big.open(QIODevice::WriteOnly) && big.resize(Document::MAX_FILE_BYTES + 1)); // sparse
        QString error;
        QVERIFY(!Document::read(big.fileName(), &doc, &error) && error == "file too large" && !Document::read(dir.path(), &doc));

        // A save replaces the whole file or nothing, and leaves no temporaries.
        Areas one{{new DrawObject(0, 0, 5, 5)}, {}, {}, {}}, none{{}, {}, {}, {}};
        const QString path = dir.path() + "/a.xml";
        QVERIFY(Document::save(path, DocumentSettings(), one) && Document::save(path, DocumentSettings(), none));
        QCOMPARE(readFile(path), Document::write(DocumentSettings(), none, dir.path()));
        QVERIFY(!Document::save(dir.path() + "/no/such/b.xml", DocumentSettings(), one, &error) && !error.isEmpty());
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), (QStringList{"a.xml", "big.xml"}));
        qDeleteAll(one[0]);
    }

    void whatTheEditorCanSaveReopens()
    {
        // As many objects as a document may hold, with text filling the
        // content bound to the last character: the writer's indentation
        // (several times the content here) must not count.
        QTemporaryDir dir;
        Areas areas{{}, {}, {}, {}};
        const QList<QList<DrawObject*>*> lists{&areas[0], &areas[1], &areas[2], &areas[3]};
        for (int i = 0; i < Document::MAX_OBJECTS; ++i) {
            areas[i % 4] << new DrawObject(i % 500, i / 500, 30 + i % 7, 20);
            areas[i % 4].last()->text = QString::number(i), areas[i % 4].last()->textTategaki = i % 2;
        }
        const DocumentSettings settings;
        const qint64 spare = Document::MAX_TEXT_CHARS - DocLimits::measure(settings, lists).chars;
        for (int i = 0; i < Document::MAX_OBJECTS; ++i)
            areas[i % 4][i / 4]->text += QString(int(spare / Document::MAX_OBJECTS) + (i < spare % Document::MAX_OBJECTS), QChar(0x3042 + i % 80));
        QVERIFY(DocLimits::measure(settings, lists).chars == Document::MAX_TEXT_CHARS && DocLimits::fits(DocLimits::measure(settings, lists)));

        const QString path = dir.path() + "/full.xml";
        DocumentContent reread;
        QString error;
        QVERIFY(Document::save(path, settings, areas));
        QVERIFY2(Document::read(path, &reread, &error), qPrintable(error));
        QCOMPARE(Document::write(reread.settings, reread.areas, dir.path()), readFile(path)); // field for field

        // One character more is over the bound, for the editor and the reader alike.
        areas[3].last()->text += "x";
        QVERIFY(!DocLimits::fits(DocLimits::measure(settings, lists)) && Document::save(path, settings, areas));
        QVERIFY(!Document::read(path, &reread, &error) && error == "too much text");
        for (Areas::value_type& list : areas)
            qDeleteAll(list);
    }

    void fuzzFindingsReadSafely()
    {
        // Every input the fuzzer ever stopped on goes through the reader (the
        // sanitizer suite turns a fault here into a failure).
        const QDir found(sourceDir() + "/tests/fuzz/regressions");
        QVERIFY(!found.entryList(QDir::Files).isEmpty());
        for (const QString& name : found.entryList(QDir::Files)) {
            DocumentContent doc;
            Document::parse(readFile(found.filePath(name)), "/nonexistent/zamfu-fuzz", &doc);
        }
    }
};

QTEST_MAIN(TstDocument)
#include "tst_document.moc"

// Paper table, finished sizes and edit-area geometry of every formation.
#include "editarea.h"
#include "setting.h"

#include <QtTest>

class TstFormation : public QObject
{
    Q_OBJECT
private slots:
    void finalAndSpreadSizes();
    void paperCodes();
    void editAreaSizeTable_data();
    void editAreaSizeTable();
    void unknownNameKeepsSize();
    void tabLabelsAndDirection();
    void pageLocations();
};

void TstFormation::finalAndSpreadSizes()
{
    QCOMPARE(Setting::getFinalSize("A4", 8), QString("A7"));
    QCOMPARE(Setting::getFinalSize("A4", 4), QString("A6"));
    QCOMPARE(Setting::getFinalSize("A4", 1), QString("A4"));
    QCOMPARE(Setting::getFinalSize("whatever", 1), QString("whatever"));
    QCOMPARE(Setting::getFinalSize("A4", 6), QString("??"));
    QCOMPARE(Setting::getFinalSize("A7", 8), QString("??"));
    QCOMPARE(Setting::getFinalSize("a4", 8), QString("??")); // case-sensitive
    QCOMPARE(Setting::getFinalSize("B5", 8), QString("B8"));
    QCOMPARE(Setting::getFinalSize("A5", 8), QString("A8"));
    QCOMPARE(Setting::getFinalSize("A3", 4), QString("A5"));
    QCOMPARE(Setting::getFinalSize("B4", 4), QString("B6"));

    QCOMPARE(Setting::getEditAreaSize("A4", 8), QString("A6"));
    QCOMPARE(Setting::getEditAreaSize("B5", 8), QString("B7"));
    QCOMPARE(Setting::getEditAreaSize("A3", 4), QString("A4"));
    QCOMPARE(Setting::getEditAreaSize("A5", 8), QString("A7"));
    QCOMPARE(Setting::getEditAreaSize("B4", 8), QString("B6"));
    QCOMPARE(Setting::getEditAreaSize("A4", 1), QString("A4"));
    QCOMPARE(Setting::getEditAreaSize("X", 8), QString("??"));
    QCOMPARE(Setting::getEditAreaSize("A4", 2), QString("??"));
}

void TstFormation::paperCodes()
{
    const QList<QPair<QString, int>> codes = {{"A3", 8},  {"B4", 19}, {"A4", 0},  {"B5", 1},
                                              {"A5", 9},  {"B6", 20}, {"A6", 10}, {"B7", 21},
                                              {"A7", 11}, {"B8", 22}, {"A8", 12}, {"X", 0}, {"b5", 0}};
    for (const auto& c : codes)
        QCOMPARE(Setting::paperSizeToEnum(c.first), c.second);
    // 5 mm of margin is 18 pixels, truncated.
    QCOMPARE(int(5 * 96 / 25.4), 18);
}

void TstFormation::editAreaSizeTable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("p1");
    QTest::addColumn<QSize>("slim");
    QTest::addColumn<QSize>("normal");
    QTest::addColumn<QSize>("l1");
    QTest::addColumn<QSize>("l48");
    QTest::newRow("A3") << "A3" << QSize(1122, 1587) << QSize(1587, 1122) << QSize(1587, 1122) << QSize(1587, 1122) << QSize(2244, 794);
    QTest::newRow("B4") << "B4" << QSize(971, 1376) << QSize(1376, 971) << QSize(1376, 971) << QSize(1376, 971) << QSize(1942, 689);
    QTest::newRow("A4") << "A4" << QSize(794, 1122) << QSize(1122, 794) << QSize(1122, 794) << QSize(1122, 794) << QSize(1587, 561);
    QTest::newRow("B5") << "B5" << QSize(689, 970) << QSize(970, 689) << QSize(970, 689) << QSize(970, 689) << QSize(1376, 485);
    QTest::newRow("A5") << "A5" << QSize(561, 794) << QSize(561, 794) << QSize(794, 561) << QSize(794, 561) << QSize(1122, 397);
    QTest::newRow("B6") << "B6" << QSize(485, 688) << QSize(485, 688) << QSize(688, 485) << QSize(688, 485) << QSize(970, 344);
    QTest::newRow("A6") << "A6" << QSize(397, 560) << QSize(397, 560) << QSize(560, 397) << QSize(560, 397) << QSize(794, 280);
    QTest::newRow("B7") << "B7" << QSize(344, 484) << QSize(344, 484) << QSize(484, 344) << QSize(484, 344) << QSize(688, 242);
    QTest::newRow("A7") << "A7" << QSize(280, 396) << QSize(280, 396) << QSize(396, 280) << QSize(396, 280) << QSize(560, 198);
}

void TstFormation::editAreaSizeTable()
{
    QFETCH(QString, name);
    QFETCH(QSize, p1);
    QFETCH(QSize, slim);
    QFETCH(QSize, normal);
    QFETCH(QSize, l1);
    QFETCH(QSize, l48);
    QCOMPARE(EditArea::size(name, 1, "portrait", "normal"), p1);
    QCOMPARE(EditArea::size(name, 1, "portrait", "slim"), p1);
    for (int pm : {4, 8}) {
        QCOMPARE(EditArea::size(name, pm, "portrait", "slim"), slim);
        QCOMPARE(EditArea::size(name, pm, "portrait", "normal"), normal);
        QCOMPARE(EditArea::size(name, pm, "landscape", "normal"), l48);
        QCOMPARE(EditArea::size(name, pm, "anything", "slim"), l48); // not "portrait" counts as landscape
    }
    QCOMPARE(EditArea::size(name, 1, "landscape", "normal"), l1);
}

void TstFormation::unknownNameKeepsSize()
{
    QVERIFY(!EditArea::size("??", 8, "portrait", "normal").isValid());
    QVERIFY(!EditArea::size("B8", 8, "portrait", "normal").isValid());
    QVERIFY(!EditArea::size("a6", 8, "portrait", "normal").isValid());
}

void TstFormation::tabLabelsAndDirection()
{
    QCOMPARE(EditArea::tabLabels(1, "right"), QStringList({" 1 "}));
    QCOMPARE(EditArea::tabLabels(4, "left"), QStringList({"4-1", "2-3"}));
    QCOMPARE(EditArea::tabLabels(8, "kannon-left"), QStringList({"8-1", "2-3", "4-5", "6-7"}));
    QCOMPARE(EditArea::tabLabels(4, "right"), QStringList({"1-4", "3-2"}));
    QCOMPARE(EditArea::tabLabels(8, "jabara-right"), QStringList({"1-8", "3-2", "5-4", "7-6"}));
    QVERIFY(EditArea::tabLabels(6, "left").isEmpty());
    QVERIFY(EditArea::tabLabels(8, "up").isEmpty());
    QVERIFY(!EditArea::rightToLeft(8, "left"));
    QVERIFY(EditArea::rightToLeft(8, "kannon-right"));
    QVERIFY(EditArea::rightToLeft(4, "right"));
    QVERIFY(!EditArea::rightToLeft(1, "right"));
}

void TstFormation::pageLocations()
{
    // Each tab label names its left half page first: the labels and the page
    // locations must agree for every formation.
    for (const QString dir : {"left", "right", "kannon-left", "kannon-right", "jabara-left", "jabara-right"}) {
        for (int pm : {4, 8}) {
            const QStringList labels = EditArea::tabLabels(pm, dir);
            for (int page = 1; page <= pm; ++page) {
                int area, half;
                EditArea::pageLocation(page, pm, dir, &area, &half);
                QVERIFY2(area >= 0 && area < labels.size(), qPrintable(dir));
                QCOMPARE(labels.at(area).split('-').at(half).toInt(), page);
            }
            int area, half;
            EditArea::pageLocation(pm + 1, pm, dir, &area, &half);
            QCOMPARE(area, -1);
        }
    }
    int area, half;
    EditArea::pageLocation(1, 1, "left", &area, &half);
    QCOMPARE(area, 0);
}

QTEST_GUILESS_MAIN(TstFormation)
#include "tst_formation.moc"

#include "command.h"
#include "drawobject.h"

#include <QtTest>

class TestCommand : public QObject
{
    Q_OBJECT

private slots:
    void distribution()
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
        QCOMPARE(Command::joinPerObject({"10", "10", "10"}), QString("10"));
        QCOMPARE(Command::joinPerObject({"10", "20"}), "10" + S + "20" + S);
    }
};

QTEST_MAIN(TestCommand)
#include "tst_command.moc"

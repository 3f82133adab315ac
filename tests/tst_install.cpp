// An install into a temporary prefix: every file a desktop needs, each valid,
// the document type recognised, and the installed program run headless from
// another folder, finding its data where it was installed.
#include "testsupport.h"

#include <QMimeDatabase>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString ID = "io.github.zamfu.Zamfu";

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}

class TstInstall : public QObject
{
    Q_OBJECT
    QTemporaryDir mPrefix, mWork;
    QString share() const { return mPrefix.filePath("share"); }

private slots:
    void initTestCase()
    {
        const ProgramRun r = runProgram(qEnvironmentVariable("CMAKE_COMMAND", "cmake"),
                                        {"--install", qEnvironmentVariable("ZAMFU_BUILD_DIR"), "--prefix", mPrefix.path()});
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
    }

    void everyFileInItsPlaceAndValid()
    {
        QStringList missing;
        for (const QString& f : QStringList{"bin/zamfu", "share/zamfu/help.html", "share/zamfu/translations/qtbase_ja.qm",
                                 "share/icons/hicolor/scalable/apps/" + ID + ".svg"})
            if (!QFileInfo::exists(mPrefix.filePath(f)))
                missing << f;
        for (int size : {48, 128, 256}) {
            const QString f = QString("share/icons/hicolor/%1x%1/apps/%2.png").arg(size).arg(ID);
            if (QImage(mPrefix.filePath(f)).size() != QSize(size, size))
                missing << f;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(", ")));
        const QString desktop = share() + "/applications/" + ID + ".desktop";
        ProgramRun r = runProgram("desktop-file-validate", {desktop});
        QVERIFY2(r.code == 0 && (r.out + r.err).trimmed().isEmpty(), qPrintable("desktop-file-validate: " + r.out + r.err));
        r = runProgram("appstreamcli", {"validate", "--no-net", share() + "/metainfo/" + ID + ".metainfo.xml"});
        QVERIFY2(r.code == 0, qPrintable("appstreamcli: " + r.out + r.err));
        const QByteArray entry = readFile(desktop);
        // Nothing refers back to the source or build tree.
        QVERIFY(entry.contains("MimeType=application/x-zamfu+xml;") && !entry.contains(sourceDir().toUtf8()));
    }

    void installedProgramRunsFromAnotherFolder()
    {
        // The installed program names the manual installed with it.
        const QString zamfu = mPrefix.filePath("bin/zamfu");
        ProgramRun r = runProgram(zamfu, {"--help"}, mWork.path());
        QVERIFY2(r.code == 0 && r.out.contains(QDir(share()).canonicalPath() + "/zamfu/help.html"), qPrintable(r.out + r.err));

        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("QT_QPA_PLATFORM"); // no display either: it must need none
        env.remove("DISPLAY");
        r = runProgram(zamfu, {"--export-pdf", "booklet.pdf", sourceDir() + "/examples/sample.xml"}, mWork.path(), env);
        QVERIFY2(r.code == 0, qPrintable(r.out + r.err));
        r = runProgram("pdfinfo", {mWork.filePath("booklet.pdf")});
        QVERIFY2(r.out.contains(QRegularExpression("Pages: +1\\n")) && r.out.contains("595 x 842 pts"), qPrintable(r.out + r.err));
    }

    void documentTypeClaimsOnlyBooklets()
    {
        // One database with the system's definitions, as on an installed system.
        const QString system = "/usr/share/mime/packages/freedesktop.org.xml";
        QVERIFY2(QFile::copy(system, share() + "/mime/packages/freedesktop.org.xml"), "shared-mime-info is missing");
        const ProgramRun update = runProgram("update-mime-database", {share() + "/mime"});
        QVERIFY2(update.code == 0, qPrintable(update.err));
        const QString other = mWork.filePath("other.xml"), declared = mWork.filePath("declared.xml");
        QVERIFY(writeFile(other, "<?xml version=\"1.0\"?>\n<note><orihon/></note>\n")
                && writeFile(declared, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<orihon>\n</orihon>\n"));

        // Qt reads the installed definition the way the desktop does.
        qputenv("XDG_DATA_DIRS", share().toLocal8Bit());
        qputenv("XDG_DATA_HOME", mWork.filePath("data").toLocal8Bit());
        QMimeDatabase db;
        for (const QString& file : {declared, other}) {
            const QString expected = file == declared ? "application/x-zamfu+xml" : "application/xml";
            QVERIFY2(db.mimeTypeForFile(file).name() == expected, qPrintable(file));
        }
    }
};

QTEST_GUILESS_MAIN(TstInstall)
#include "tst_install.moc"

#include "cli.h"

#include "appdata.h"
#include "document.h"
#include "drawobject.h"
#include "editarea.h"
#include "imagestore.h"
#include "pdfexport.h"
#include "pngexport.h"
#include "setting.h"
#include "sheet.h"

#include <QApplication>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

#include <cstdio>
#include <memory>

namespace {

const QStringList OUR_OPTIONS = {"--export-pdf", "--export-png", "--layout", "--dpi", "--image-ppi",
                                 "--help", "-h", "--version"};

bool isOurs(const QString& arg)
{
    for (const QString& o : OUR_OPTIONS)
        if (arg == o || (o.startsWith("--") && arg.startsWith(o + "=")))
            return true;
    return false;
}

// Options that take a value, as "--name value" or "--name=value".
bool valueOption(const QString& arg)
{
    for (const char* name : {"--export-pdf", "--export-png", "--layout", "--dpi", "--image-ppi"})
        if (arg == QLatin1String(name) || arg.startsWith(QLatin1String(name) + '='))
            return true;
    return false;
}

int layoutFromWord(const QString& word)
{
    if (word == "print")
        return PdfExport::LayoutSheet;
    if (word == "pages")
        return PdfExport::LayoutPages;
    if (word == "spreads")
        return PdfExport::LayoutSpreads;
    return -1;
}

CliRequest failure(const QString& error)
{
    CliRequest r;
    r.action = CliRequest::Error;
    r.error = error;
    return r;
}

void printLine(FILE* stream, QString text)
{
    if (stream == stderr) // messages stay on one line
        text.replace('\n', ' ');
    std::fputs(text.toLocal8Bit().constData(), stream);
    std::fputc('\n', stream);
    std::fflush(stream);
}

// Diagnostics of the drawing code and the image writer would bury the one
// line a script reads; every failure is reported in that line.
void quietMessages(QtMsgType type, const QMessageLogContext&, const QString& msg)
{
    if (type == QtFatalMsg)
        printLine(stderr, msg);
}

}

namespace {

// Qt's own options, which QApplication takes out of the arguments (a session
// manager restarts the editor with -session, for example). Qt also accepts
// them with two dashes.
const QStringList QT_VALUE_OPTIONS = {"-platform", "-platformpluginpath", "-platformtheme", "-plugin",
                                      "-qwindowgeometry", "-qwindowicon", "-qwindowtitle", "-style",
                                      "-stylesheet", "-session", "-display", "-geometry", "-qmljsdebugger"};
const QStringList QT_FLAG_OPTIONS = {"-reverse", "-widgetcount", "-nograb", "-dograb", "-sync", "-testability"};

// 0: not a Qt option; 1: a Qt option on its own; 2: one that takes the next argument.
int qtOption(QString arg)
{
    if (arg.startsWith("--"))
        arg.remove(0, 1);
    const int eq = arg.indexOf('=');
    const QString name = eq < 0 ? arg : arg.left(eq);
    if (QT_VALUE_OPTIONS.contains(name))
        return eq < 0 ? 2 : 1;
    return eq < 0 && QT_FLAG_OPTIONS.contains(name) ? 1 : 0;
}

// An argument that is no option: the document, or a mistake ("--" ends the
// options, so a document may start with "-").
QString takeArgument(const QString& a, bool optionsEnded, CliRequest* r)
{
    if (!optionsEnded && a.startsWith('-') && a.size() > 1)
        return "unknown option '" + a + "'";
    if (!r->document.isEmpty())
        return "more than one document given ('" + r->document + "', '" + a + "')";
    r->document = a;
    return QString();
}

// The editor opens with at most one document; anything else that looks like
// an option and is none is a mistake, not a file name ("--" ends the options).
CliRequest editorRequest(const QStringList& args)
{
    CliRequest r;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && qtOption(a)) {
            if (qtOption(a) == 2)
                ++i;
        } else if (const QString why = takeArgument(a, optionsEnded, &r); !why.isEmpty()) {
            return failure(why);
        }
    }
    return r;
}

}

CliRequest parseCommandLine(const QStringList& args)
{
    bool ours = false;
    for (const QString& a : args) {
        if (a == "--")
            break;
        if (a == "--help" || a == "-h" || a == "--version") {
            CliRequest r;
            r.action = a == "--version" ? CliRequest::Version : CliRequest::Help;
            return r;
        }
        ours = ours || isOurs(a);
    }
    if (!ours)
        return editorRequest(args);

    CliRequest r;
    r.action = CliRequest::Export;
    bool haveOutput = false;
    QString needsOutput = "--layout"; // an option that only means something with an export
    bool haveDpi = false;
    bool optionsEnded = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString a = args.at(i);
        if (!optionsEnded && a == "--") {
            optionsEnded = true;
        } else if (!optionsEnded && valueOption(a)) {
            const int eq = a.indexOf('=');
            const QString name = eq < 0 ? a : a.left(eq);
            QString value;
            if (eq >= 0)
                value = a.mid(eq + 1);
            else if (i + 1 < args.size())
                value = args.at(++i);
            if (value.isEmpty())
                return failure(name + " needs a value");
            if (name == "--export-pdf" || name == "--export-png") {
                const auto format = name == "--export-pdf" ? CliRequest::Pdf : CliRequest::Png;
                if (haveOutput && r.format != format)
                    return failure("--export-pdf and --export-png cannot be combined");
                r.format = format;
                r.output = value;
                haveOutput = true;
            } else if (name == "--image-ppi") {
                bool ok = false;
                r.imagePpi = value.toInt(&ok);
                if (!ok || r.imagePpi < ImageStore::MIN_PPI || r.imagePpi > ImageStore::MAX_PPI)
                    return failure("bad --image-ppi '" + value + "' (use 72 to 1200)");
                needsOutput = name;
            } else if (name == "--dpi") {
                bool ok = false;
                r.dpi = value.toInt(&ok);
                if (!ok || r.dpi < PngExport::MIN_DPI || r.dpi > PngExport::MAX_DPI)
                    return failure(QString("--dpi takes a whole number from %1 to %2, not '%3'")
                                       .arg(PngExport::MIN_DPI).arg(PngExport::MAX_DPI).arg(value));
                haveDpi = true;
            } else {
                needsOutput = name;
                r.layout = layoutFromWord(value);
                if (r.layout < 0)
                    return failure("unknown layout '" + value + "' (use print, pages or spreads)");
            }
        } else if (const QString why = takeArgument(a, optionsEnded, &r); !why.isEmpty()) {
            return failure(why);
        }
    }
    if (!haveOutput)
        return failure(haveDpi ? QString("--dpi needs --export-png OUT.png")
                               : needsOutput + " needs --export-pdf OUT.pdf or --export-png OUT.png");
    if (haveDpi && r.format != CliRequest::Png)
        return failure("--dpi applies only to --export-png");
    if (r.document.isEmpty())
        return failure("no document given to export");
    return r;
}

QString versionText()
{
    return QStringLiteral("Zamfu " ZAMFU_VERSION);
}

namespace {

// Where the installed manual is, for a program run from its installation.
QString manualLine()
{
    const QString page = AppData::helpPage();
    return page.isEmpty() ? QString() : "\n\nManual: " + page;
}

}

QString commandLineHelp()
{
    return versionText() + QStringLiteral(
        "\n"
        "Usage: zamfu [--] [DOCUMENT.xml]\n"
        "       zamfu --export-pdf OUT.pdf [--layout print|pages|spreads] DOCUMENT.xml\n"
        "       zamfu --export-png OUT.png [--layout print|pages|spreads] [--dpi N] DOCUMENT.xml\n"
        "\n"
        "Without options the editor opens, with DOCUMENT.xml if given. After --\n"
        "every argument is a file name, even one that starts with -. Qt's own options\n"
        "(-platform, -style, -session, ...) are passed on to the editor.\n"
        "\n"
        "  --export-pdf OUT.pdf  write the document as a PDF and exit, without a window\n"
        "  --export-png OUT.png  write the document as PNG images and exit: OUT.png for\n"
        "                        one image, OUT-1.png, OUT-2.png, ... for several\n"
        "  --layout print        the imposed sheet, ready to print and fold (default)\n"
        "  --layout pages        one page per booklet page (not for one-page booklets)\n"
        "  --layout spreads      one page per spread (not for one page or landscape pages)\n"
        "  --dpi N               PNG resolution in pixels per inch, 72 to 600 (default 150)\n"
        "  --image-ppi N         images at N pixels per inch of print (72 to 1200, default 300)\n"
        "  -h, --help            show this text\n"
        "  --version             show the version\n"
        "\n"
        "Exit status: 0 written, 1 the document could not be read or the output not\n"
        "written, 2 a bad option. Existing files are replaced only by complete new ones.\n"
        "Images that cannot be drawn are left out with a warning each.")
        + manualLine();
}

int exportDocument(const CliRequest& request, QString* error)
{
    DocumentContent content;
    QString why;
    if (!Document::read(request.document, &content, &why)) {
        *error = "cannot read " + request.document + (why.isEmpty() ? QString() : ": " + why);
        return 1;
    }
    content.settings.applyToSetting();
    if (!PdfExport::layoutAvailable(request.layout)) {
        *error = "this layout is not available for this booklet (use --layout print)";
        return 2;
    }
    const bool png = request.format == CliRequest::Png;
    const QStringList targets = png ? PngExport::fileNames(request.output, PngExport::imageCount(request.layout))
                                    : QStringList(request.output);
    const QFileInfo doc(request.document);
    for (const QString& target : targets) {
        const QFileInfo out(target);
        if (out.exists() && doc.canonicalFilePath() == out.canonicalFilePath()) {
            *error = QString(png ? "the image" : "the PDF") + " would replace the document " + request.document;
            return 2;
        }
    }
    const QSize size = EditArea::size(Setting::getEditAreaSize(Setting::PaperSize, Setting::PageMax), Setting::PageMax,
                                      Setting::PageOrientation, Setting::PageForm);
    if (size.isValid()) {
        _EDITAREA_W_PX = size.width();
        _EDITAREA_H_PX = size.height();
    }

    QList<QList<DrawObject*>*> lists;
    for (QList<DrawObject*>& area : content.areas)
        lists.append(&area);
    ImageStore::instance().setPrintPpi(request.imagePpi);
    ImageOutputReport report;
    if (png) {
        QStringList written;
        if (!PngExport::writePngs(request.output, request.layout, request.dpi, lists, &written, &why)) {
            *error = "cannot write " + request.output + ": " + why;
            return 1;
        }
    } else {
        const auto paint = [&lists](QPrinter* printer, int layout) {
            QPainter painter;
            if (!painter.begin(printer))
                return;
            Sheet::render(&painter, Sheet::Context::fromSettings(1.0, true), Sheet::ALL_AREAS, layout, lists);
        };
        if (!PdfExport::writePdf(request.output, request.layout, paint, &why, PdfExport::titleFor(request.document))) {
            *error = "cannot write " + request.output + ": " + why;
            return 1;
        }
    }
    for (const ImageOutputReport::Failure& f : report.failures())
        printLine(stderr, "zamfu: warning: image not drawn: " + f.path + " (" + ImageDecoder::problemText(f.problem) + ")");
    return 0;
}

int runCommandLine(int argc, char** argv, bool* handled, QString* document)
{
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const CliRequest request = parseCommandLine(args);
    *handled = request.action != CliRequest::None;
    switch (request.action) {
    case CliRequest::None:
        if (document)
            *document = request.document;
        return 0;
    case CliRequest::Help:
        printLine(stdout, commandLineHelp());
        return 0;
    case CliRequest::Version:
        printLine(stdout, versionText());
        return 0;
    case CliRequest::Error:
        printLine(stderr, "zamfu: " + request.error);
        std::fputs(commandLineHelp().toLocal8Bit().constData(), stderr);
        std::fputc('\n', stderr);
        return 2;
    case CliRequest::Export:
        break;
    }

    if (qEnvironmentVariableIsEmpty("ZAMFU_DEBUG"))
        qInstallMessageHandler(quietMessages);
    // Nothing is shown, so no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Text is laid out and printed at the program's own 96 per inch, not at
    // whatever a headless platform reports (offscreen says 100): type keeps
    // its true point size and the pages match the editor of a standard desktop.
    std::unique_ptr<QApplication> app;
    static int qtArgc = 1;
    static char* qtArgv[] = {argv[0], nullptr};
    if (!QCoreApplication::instance()) {
        QCoreApplication::setAttribute(Qt::AA_Use96Dpi);
        app.reset(new QApplication(qtArgc, qtArgv));
    }
    _PC_DPI = 96.0;

    QString error;
    const int code = exportDocument(request, &error);
    if (code != 0)
        printLine(stderr, "zamfu: " + error);
    return code;
}

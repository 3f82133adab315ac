#ifndef CLI_H
#define CLI_H

#include "imagestore.h"

#include <QString>
#include <QStringList>

// What the command line asks for. Arguments that name no option of ours are
// left to the editor (None).
struct CliRequest {
    enum Action { None, Help, Version, Export, Error };
    enum Format { Pdf, Png };
    Action action = None;
    Format format = Pdf;
    QString output;   // PDF or PNG to write
    QString document; // document to read (for None: the one the editor opens, if any)
    int layout = 0;   // PdfExport::Layout
    int imagePpi = ImageStore::DEFAULT_PPI;
    int dpi = 150;    // PNG resolution
    QString error;    // one line, for Error
};

// args without the program name.
CliRequest parseCommandLine(const QStringList& args);

QString commandLineHelp();

// "Zamfu" and the version the program was built as.
QString versionText();

// Reads the document and writes the PDF or PNGs. Returns the exit code (0 written,
// 1 a document or output failure, 2 a layout the booklet does not offer) and,
// on failure, a one-line reason. Images it could not draw are warned about
// on standard error, one line each; they do not change the exit code.
int exportDocument(const CliRequest& request, QString* error);

// Runs the export or the help text before any window exists; creates the
// application object it needs and uses the offscreen platform unless one is
// chosen. *handled is false when the arguments are for the editor.
// Returns the exit code: 0 done, 1 a document or output failure, 2 a usage error.
int runCommandLine(int argc, char** argv, bool* handled, QString* document = nullptr);

#endif

#ifndef OUTPUTFILE_H
#define OUTPUTFILE_H

#include <QString>

// Exported files (PDF, PNG) are written under a temporary name beside their
// target and put in place only when complete, so a failed export never leaves
// a partial file nor destroys the previous one.
namespace OutputFile {

// Why nothing can be written at path (its folder is missing, it is a folder);
// empty when it can be tried.
QString targetProblem(const QString& path);

// Whether an export may be written at path: a file there is replaced by
// renaming over it, so what counts is that it is no folder and its folder is
// writable (not whether the old file itself is).
bool canReplace(const QString& path);

// Pattern of a temporary file beside path, for QTemporaryFile.
QString temporaryPattern(const QString& path, const QString& suffix);

// Puts the finished file `from` in place of `to` in one step where the system
// allows it, with the permissions of the file it replaces (else the usual
// ones); the old `to` survives a failure. On failure, error says why.
bool replace(const QString& from, const QString& to, QString* error);

}

#endif

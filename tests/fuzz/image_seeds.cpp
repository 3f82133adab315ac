// Writes the image fuzz target's seeds (a small picture of every kind the
// decoder treats apart) into the folder named on the command line.
#include "imagekinds.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // Qt's image writers
    if (argc != 2 || !ImageKinds::writeAll(QString::fromLocal8Bit(argv[1]))) {
        fprintf(stderr, "usage: image_seeds FOLDER (every file written)\n");
        return 1;
    }
    return 0;
}

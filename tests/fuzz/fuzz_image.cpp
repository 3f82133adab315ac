// libFuzzer target: bytes as an image file, through the decoder as the editor
// and output read it (header first, then the picture at full size, reduced
// and tiny). A wrong answer aborts like a crash.
#include "fuzzsupport.h"
#include "imagecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include <fcntl.h>
#include <unistd.h>

namespace {

// One file, rewritten for every input: the decoder only reads regular files.
QString gPath;
int gFd = -1;

// libpng, libjpeg and Qt's readers are not instrumented, so libFuzzer sees
// little of what an input reached. Each format with each outcome, and each
// size class, takes a branch of its own here, which keeps one input of each
// in the corpus.
volatile int gSink;

void touch(int n)
{
    switch (n) {
#define Z1(n) case n: gSink = n; break;
#define Z8(n) Z1(n) Z1(n + 1) Z1(n + 2) Z1(n + 3) Z1(n + 4) Z1(n + 5) Z1(n + 6) Z1(n + 7)
#define Z64(n) Z8(n) Z8(n + 8) Z8(n + 16) Z8(n + 24) Z8(n + 32) Z8(n + 40) Z8(n + 48) Z8(n + 56)
        Z64(0) Z64(64) Z64(128) Z64(192) Z64(256) Z64(320) Z64(384)
#undef Z64
#undef Z8
#undef Z1
    }
}

void mark(const ImageCheck::Outcome& o)
{
    static const char* const formats[] = {"png", "jpeg", "gif", "bmp", "ico", "ppm", "pgm", "pbm", "xbm", "xpm"};
    int format = 10;
    for (int i = 0; i < 10; ++i)
        if (o.header.format == formats[i])
            format = i;
    // Formats times problems: 88 branches for the header, 88 for each decode.
    touch(format * 8 + int(o.header.problem));
    for (int i = 0; i < 3; ++i)
        touch(88 * (i + 1) + format * 8 + int(o.decoded[i]));
    for (int bit = 0; bit < 21; ++bit) {
        if (o.header.size.width() >> bit == 1)
            touch(352 + bit);
        if (o.header.size.height() >> bit == 1)
            touch(384 + bit);
    }
}
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static int qargc = 1;
    static char* qargv[] = {(*argv)[0], nullptr};
    (void)argc;
    static QCoreApplication app(qargc, qargv); // Qt's image plugins
    QByteArray dir = QFile::encodeName(QDir::tempPath() + "/zamfu-fuzz-image-XXXXXX");
    if (!mkdtemp(dir.data()))
        abort();
    gPath = QFile::decodeName(dir) + "/input";
    gFd = open(QFile::encodeName(gPath).constData(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (gFd < 0)
        abort();
    atexit([] {
        close(gFd);
        QDir(QFileInfo(gPath).path()).removeRecursively();
    });
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (ftruncate(gFd, 0) != 0 || pwrite(gFd, data, size, 0) != ssize_t(size))
        abort();
    ImageCheck::Outcome outcome;
    const QString wrong = ImageCheck::check(gPath, &outcome);
    mark(outcome);
    if (!wrong.isEmpty()) {
        fprintf(stderr, "image check: %s\n", qPrintable(wrong));
        abort();
    }
    return 0;
}

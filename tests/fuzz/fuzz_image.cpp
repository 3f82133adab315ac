// libFuzzer target: bytes as an image file, through the decoder as the editor
// and output read it (header first, then the picture at full size, reduced
// and tiny). A wrong answer aborts like a crash.
#include "fuzzsupport.h"
#include "imagecheck.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

// One file, rewritten for every input: the decoder only reads regular files.
QString gPath;

// libpng, libjpeg and Qt's readers are not instrumented, so libFuzzer sees
// little of what an input reached. Each format with each outcome, and each
// size class, counts in counters of its own that libFuzzer reads beside its
// coverage, which keeps one input of each in the corpus.
__attribute__((used, section("__libfuzzer_extra_counters"))) uint8_t gCounters[416];

void mark(const ImageCheck::Outcome& o)
{
    static const char* const formats[] = {"png", "jpeg", "gif", "bmp", "ico", "ppm", "pgm", "pbm", "xbm", "xpm"};
    int format = 10;
    for (int i = 0; i < 10; ++i)
        if (o.header.format == formats[i])
            format = i;
    // Formats times problems: 88 counters for the header, 88 for each decode.
    ++gCounters[format * 8 + int(o.header.problem)];
    for (int i = 0; i < 3; ++i)
        ++gCounters[88 * (i + 1) + format * 8 + int(o.decoded[i])];
    for (int bit = 0; bit < 21; ++bit)
        gCounters[352 + bit] += o.header.size.width() >> bit == 1, gCounters[384 + bit] += o.header.size.height() >> bit == 1;
}
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    static int qargc = 1;
    static char* qargv[] = {(*argv)[0], nullptr};
    (void)argc;
    static QCoreApplication app(qargc, qargv); // Qt's image plugins
    static QTemporaryDir dir(QDir::tempPath() + "/zamfu-fuzz-image-XXXXXX");
    if (!dir.isValid())
        abort();
    gPath = dir.filePath("input");
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    QFile file(gPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(reinterpret_cast<const char*>(data), qint64(size)) != qint64(size))
        abort();
    file.close();
    ImageCheck::Outcome outcome;
    const QString wrong = ImageCheck::check(gPath, &outcome);
    mark(outcome);
    if (!wrong.isEmpty()) {
        fprintf(stderr, "image check: %s\n", qPrintable(wrong));
        abort();
    }
    return 0;
}

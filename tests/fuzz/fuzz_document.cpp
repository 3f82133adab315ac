// libFuzzer target: bytes through the document reader along the path a real
// open takes (parse and check, chain repair, layout of every box).
#include "document.h"
#include "fonts.h"
#include "fuzzsupport.h"

#include <QByteArray>
#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Fonts and the platform are set up once; every input reuses them.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qargc = 1;
    static char* qargv[] = {(*argv)[0], nullptr};
    (void)argc;
    static QGuiApplication app(qargc, qargv);
    ensureFontSubstitutions();
    silenceQtMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), int(size));
    DocumentContent content;
    // A folder that does not exist, so relative image paths find nothing.
    Document::parse(bytes, QStringLiteral("/nonexistent/zamfu-fuzz"), &content);
    // Back to the event loop, as the editor is after an open: Qt trims its
    // font cache on a timer, which would otherwise grow over the whole run.
    QCoreApplication::processEvents();
    return 0;
}

#include "fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>

namespace {
QString g_fallback;
bool g_done = false;

QString findJapaneseFamily()
{
    QFontDatabase db;
    const QStringList preferred = {"IPAGothic", "IPAPGothic", "IPAexGothic", "Noto Sans CJK JP",
                                   "Noto Sans JP", "TakaoGothic", "VL Gothic", "IPAMincho"};
    const QStringList all = db.families();
    for (const QString& f : preferred)
        if (all.contains(f, Qt::CaseInsensitive))
            return f;
    const QStringList jp = db.families(QFontDatabase::Japanese);
    return jp.isEmpty() ? QString() : jp.first();
}
}

void ensureFontSubstitutions()
{
    if (g_done || !qGuiApp)
        return;
    g_done = true;
    QFontDatabase db;
    g_fallback = findJapaneseFamily();
    if (g_fallback.isEmpty())
        return;
    for (const char* name : {"Osaka", "Osaka-Mono", "Hiragino Kaku Gothic Pro", "Hiragino Mincho Pro", "MS Gothic", "MS Mincho"}) {
        if (!db.families().contains(QString::fromLatin1(name), Qt::CaseInsensitive))
            QFont::insertSubstitution(QString::fromLatin1(name), g_fallback);
    }
}

QString japaneseFallbackFamily()
{
    ensureFontSubstitutions();
    return g_fallback;
}

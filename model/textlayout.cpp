#include "drawobject.h"
#include "pagefont.h"

#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QVector>

#include <array>
#include <limits>

const QString MOJI_MINI1_HALF = QString::fromUtf16(u"\uFF67\uFF68\uFF69\uFF6A\uFF6B\uFF6F\uFF6C\uFF6D\uFF6E");
const QString MOJI_MINI1 = MOJI_MINI1_HALF + QString::fromUtf16(u"ぁぃぅぇぉっゃゅょゎァィゥェォヵヶッャュョヮ");
const QString MOJI_MINI2_HALF = QString::fromUtf16(u"\uFF64\uFF61");
const QString MOJI_MINI2 = MOJI_MINI2_HALF + QString::fromUtf16(u"\u3001\u3002\uFF0C\uFF0E,.");
const QString MOJI_TATE_HALF = QString::fromUtf16(u"\uFF62\uFF63\uFF70");
const QString MOJI_TATE = MOJI_TATE_HALF
    + QString::fromUtf16(u"\u2190\u2192\u2191\u2193\u21D4\u30FC\uFF5E\u2026\u2025\u3013"
                         u"\uFF1D\uFF0D\uFF3F\uFF5C\uFF1A\uFF1B\u2266\u226A\u226B\uFF1C"
                         u"\uFF1E\uFF08\uFF09\uFF3B\uFF3D\u3014\u3015\uFF5B\uFF5D\u300C"
                         u"\u300D\u300E\u300F\u3010\u3011\u300A\u300B\u3008\u3009\uFFE4"
                         u"\u2225=-_|:;<>()[]{}"
                         u"\u250C\u2510\u2514\u2518\u2500\u2502\u2534\u252C\u251C\u2524"
                         u"\u253C\u250F\u2513\u2517\u251B\u2501\u2503\u253B\u2533\u2523"
                         u"\u252B\u254B\u2014\u2015\u301C\u3030");
const QString MOJI_TATE_FLIP = QString::fromUtf16(u"\uFF70\u30FC");
const QString MOJI_KINSOKU_ATAMA_ZENKAKU =
    QString::fromUtf16(u"\uFF09\uFF3D\u3015\uFF5D\u300D\u300F\u3011\u300B\u3009\u2019\u201D") + MOJI_MINI2;
const QString MOJI_KINSOKU_ATAMA_HANKAKU = QStringLiteral(")]}>");
const QString MOJI_KINSOKU_ATAMA = MOJI_KINSOKU_ATAMA_ZENKAKU + MOJI_KINSOKU_ATAMA_HANKAKU;
const QString MOJI_KINSOKU_OSIRI_ZENKAKU =
    QString::fromUtf16(u"\uFF08\uFF3B\u3014\uFF5B\u300C\u300E\u3010\u300A\u3008\u2018\u201C");
const QString MOJI_KINSOKU_OSIRI_HANKAKU = QStringLiteral("([{<");
const QString MOJI_KINSOKU_OSIRI = MOJI_KINSOKU_OSIRI_ZENKAKU + MOJI_KINSOKU_OSIRI_HANKAKU;

namespace {

// Inputs from damaged documents or the panel can be absurd; keeping them in
// this range lets every product below fit comfortably in 64 bits.
constexpr int kSaneLimit = 1000000;
int sane(int v) { return qBound(-kSaneLimit, v, kSaneLimit); }

// Rectangles are stored as int; far-off coordinates are pinned, not wrapped.
int pin(qint64 v) { return int(qBound<qint64>(-(1 << 29), v, 1 << 29)); }

enum CharFlag : quint8 {
    InTate = 1,
    InMini1 = 2,
    InMini2 = 4,
    InAtama = 8,
    InAtamaZen = 16,
    InOsiri = 32,
};

// Set membership for every BMP code unit, built once: the layout asks for each
// character several times, and scanning the sets each time would dominate.
const std::array<quint8, 65536>& flagTable()
{
    static const std::array<quint8, 65536> table = [] {
        std::array<quint8, 65536> t{};
        auto mark = [&t](const QString& set, quint8 flag) {
            for (QChar c : set)
                t[c.unicode()] |= flag;
        };
        mark(MOJI_TATE, InTate);
        mark(MOJI_MINI1, InMini1);
        mark(MOJI_MINI2, InMini2);
        mark(MOJI_KINSOKU_ATAMA, InAtama);
        mark(MOJI_KINSOKU_ATAMA_ZENKAKU, InAtamaZen);
        mark(MOJI_KINSOKU_OSIRI, InOsiri);
        return t;
    }();
    return table;
}

bool isAlphabetChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') || u == '"' || u == '\'' || u == ',' || u == '.';
}

// Length of the character starting at pos: a surrogate pair and any
// combining marks stay with their base so no glyph is ever cut in two.
int charLength(const QString& s, int pos)
{
    const int n = s.size();
    int len = 1;
    if (s.at(pos).isHighSurrogate() && pos + 1 < n && s.at(pos + 1).isLowSurrogate())
        len = 2;
    while (pos + len < n) {
        const QChar c = s.at(pos + len);
        if (c.isHighSurrogate() && pos + len + 1 < n) {
            if (!QChar::isMark(QChar::surrogateToUcs4(c, s.at(pos + len + 1))))
                break;
            len += 2;
        } else if (c.isMark() && c != QLatin1Char('\n')) {
            len += 1;
        } else {
            break;
        }
    }
    return len;
}

// The text split into characters, with set membership of each.
struct CharRun {
    QString text;
    QVector<int> start; // start offset of each character, plus text.size()
    QVector<quint8> flags;
    QVector<bool> alpha;

    explicit CharRun(const QString& s) : text(s)
    {
        const auto& table = flagTable();
        start.reserve(s.size() + 1);
        flags.reserve(s.size());
        alpha.reserve(s.size());
        for (int pos = 0; pos < s.size();) {
            const int len = charLength(s, pos);
            start.append(pos);
            flags.append(len == 1 ? table[s.at(pos).unicode()] : 0);
            alpha.append(isAlphabetChar(s.at(pos)));
            pos += len;
        }
        start.append(s.size());
    }
    int count() const { return flags.size(); }
    QString at(int k) const { return text.mid(start[k], start[k + 1] - start[k]); }
    // Out-of-range indexes (before the first or past the last character)
    // match nothing, so a step looking beside an empty line stays safe.
    bool is(int k, QChar c) const
    {
        return k >= 0 && k < count() && start[k + 1] - start[k] == 1 && text.at(start[k]) == c;
    }
    bool has(int k, quint8 flag) const { return k >= 0 && k < count() && (flags[k] & flag); }
};

// Width of a text measured as calcTextWidth does, from running sums.
qint64 ruleWidth(qint64 sum, int lastWidth, bool lastHangs, int count, int ooW, qint64 spacing, bool force)
{
    qint64 width = sum;
    if ((count >= 2 || force) && lastHangs)
        width = qint64(double(sum - lastWidth) + 0.5 * ooW);
    return width + qMax(0, count - 1) * spacing;
}

// Font measurements of one layout; character advances are looked up once.
class Metrics
{
public:
    explicit Metrics(const QFontMetrics& fm) : mFm(fm), ooW(fm.horizontalAdvance(QStringLiteral("oo")))
    {
        // The text form of the box covers the whole line (ascent to descent),
        // unlike the glyph box of the character, so lines never overlap.
        const QRect q = fm.boundingRect(QStringLiteral("Q"));
        lh = q.bottom() - q.top() - 1;
    }

    // Advance of character k, measured as a text of its own (a lone "\n"
    // then has no width, as inside a longer text).
    int width(const CharRun& run, int k)
    {
        const int from = run.start[k];
        if (run.start[k + 1] - from != 1)
            return mFm.horizontalAdvance(run.at(k));
        const ushort u = run.text.at(from).unicode();
        auto it = mCache.constFind(u);
        if (it != mCache.constEnd())
            return *it;
        const int w = mFm.horizontalAdvance(QString(run.text.at(from)));
        mCache.insert(u, w);
        return w;
    }

    const QFontMetrics& mFm;
    int ooW;
    int lh;

private:
    QHash<ushort, int> mCache;
};

struct Line {
    int from; // first character
    int to;   // one past the last character (a trailing "\n" included)
};

// Lays out the characters from `first` on into obj's layout lists. Returns the
// character index where the next chain member takes over, or -1 when all of
// the text belongs to this box.
class BoxLayout
{
public:
    BoxLayout(DrawObject* obj, const CharRun& run, int first, bool hasNext, Metrics& metrics)
        : o(obj), run(run), first(first), hasNext(hasNext), mt(metrics)
    {
        m = sane(o->textMargin);
        W = qint64(sane(o->w)) - 2 * m;
        H = qint64(sane(o->h)) - 2 * m;
        lineSpacing = sane(o->textLineSpacing);
        wordSpacing = sane(o->textWordSpacing);
    }

    int layout()
    {
        return o->textTategaki ? vertical() : horizontal();
    }

private:
    DrawObject* o;
    const CharRun& run;
    int first;
    bool hasNext;
    Metrics& mt;
    qint64 m, W, H, lineSpacing, wordSpacing;
    QVector<Line> lines;
    QVector<int> widths;

    int w(int k)
    {
        const int i = k - first;
        while (widths.size() <= i)
            widths.append(mt.width(run, first + widths.size()));
        return widths[i];
    }
    qint64 sumWidth(int from, int to)
    {
        qint64 s = 0;
        for (int k = from; k < to; ++k)
            s += w(k);
        return s;
    }
    qint64 rangeWidth(int from, int to, qint64 spacing, bool force = false)
    {
        if (to <= from)
            return 0;
        return ruleWidth(sumWidth(from, to), w(to - 1), run.has(to - 1, InAtamaZen), to - from, mt.ooW, spacing,
                         force);
    }
    bool isNewline(int k) const { return run.is(k, QLatin1Char('\n')); }
    int hAlign() const { return o->textAlign & Qt::AlignHorizontal_Mask; }
    int vAlign() const { return o->textAlign & Qt::AlignVertical_Mask; }

    void addEntry(qint64 x, qint64 y, qint64 rw, qint64 rh, int flags, int k)
    {
        o->layoutRects.append(QRect(pin(x), pin(y), pin(qMax<qint64>(rw, 0)), pin(qMax<qint64>(rh, 0))));
        o->layoutFlags.append(flags);
        o->layoutTexts.append(run.at(k));
    }
    void storeLines()
    {
        for (const Line& l : lines)
            o->layoutLines.append(run.text.mid(run.start[l.from], run.start[l.to] - run.start[l.from]));
    }

    int horizontal();
    void placeHorizontal(bool complete, qint64 lp);
    int vertical();
    void placeVertical(qint64 cp, qint64 N);
};

int BoxLayout::horizontal()
{
    const qint64 lp = lineSpacing + mt.lh;
    const int n = run.count();
    int curFrom = -1, curTo = -1; // current line, empty while curFrom < 0
    qint64 curSum = 0;
    int p = -1;

    for (int i = first; i < n; ++i) {
        const int unitFrom = i;
        qint64 uSum = w(i);
        if (!run.is(i, QLatin1Char(' ')) && !isNewline(i) && !isNewline(i + 1)) {
            if (run.alpha[i]) {
                // Latin words break only where they must.
                int count = 1;
                while (i + 1 < n && run.alpha[i + 1]) {
                    const int w1 = w(i + 1);
                    if (ruleWidth(uSum + w1, w1, run.has(i + 1, InAtamaZen), count + 1, mt.ooW, wordSpacing,
                                  false) > W)
                        break;
                    uSum += w1;
                    ++count;
                    ++i;
                    if (i >= n - 1)
                        break;
                }
            }
            if (run.has(i + 1, InAtama)) {
                uSum += w(i + 1);
                if (run.has(i + 2, InAtama)) {
                    uSum += w(i + 2);
                    i += 2;
                } else {
                    i += 1;
                }
            } else if (i == unitFrom && run.has(i, InOsiri)) {
                if (i + 1 < n)
                    uSum += w(i + 1);
                i += 1;
            }
        }
        const int unitTo = qMin(i + 1, n);
        const bool unitNewline = unitTo - unitFrom == 1 && isNewline(unitFrom);
        bool check = false;

        if (unitNewline) {
            lines.append({curFrom < 0 ? unitFrom : curFrom, unitTo});
            curFrom = -1;
            curSum = 0;
            check = true;
        } else if (curFrom >= 0
                   && ruleWidth(curSum + uSum, w(unitTo - 1), run.has(unitTo - 1, InAtamaZen),
                                unitTo - curFrom, mt.ooW, wordSpacing, false)
                          > W) {
            int end = curTo;
            if (run.is(end - 1, QLatin1Char(' ')))
                --end;
            lines.append({curFrom, end});
            if (unitTo - unitFrom == 1 && run.is(unitFrom, QLatin1Char(' '))) {
                curFrom = -1;
                curSum = 0;
            } else {
                curFrom = unitFrom;
                curTo = unitTo;
                curSum = uSum;
            }
            check = true;
        } else {
            if (curFrom < 0)
                curFrom = unitFrom;
            curTo = unitTo;
            curSum += uSum;
        }

        if (check && hasNext && H <= lines.size() * lp + mt.lh) {
            p = unitNewline ? unitTo : (curFrom < 0 ? unitFrom : curFrom);
            break;
        }
        i = unitTo - 1;
    }
    if (p < 0 && curFrom >= 0)
        lines.append({curFrom, curTo});

    storeLines();
    placeHorizontal(p < 0, lp);
    return p;
}

void BoxLayout::placeHorizontal(bool complete, qint64 lp)
{
    const qint64 bh = lines.size() * lp - lineSpacing;
    qint64 y0 = m;
    if (vAlign() & Qt::AlignVCenter)
        y0 += (H - bh) / 2;
    else if (vAlign() & Qt::AlignBottom)
        y0 += H - bh;
    const qint64 rw = 2 * qint64(mt.ooW), rh = 2 * qint64(mt.lh);

    for (int k = 0; k < lines.size(); ++k) {
        const Line& l = lines[k];
        const qint64 y = y0 + k * lp;
        const int len = l.to - l.from;
        if (len <= 0) // a line that held only a space it dropped
            continue;
        const bool flush = isNewline(l.to - 1) || (k == lines.size() - 1 && complete);
        if (flush) {
            qint64 x = m;
            if (hAlign() != Qt::AlignLeft) {
                const qint64 lw = rangeWidth(l.from, l.to, wordSpacing);
                if (hAlign() & Qt::AlignHCenter)
                    x += qint64((W - lw) * 0.5);
                else if (hAlign() & Qt::AlignRight)
                    x += W - lw;
            }
            for (int c = l.from; c < l.to; ++c) {
                addEntry(x, y, rw, rh, Qt::AlignLeft, c);
                x += w(c) + wordSpacing;
            }
            continue;
        }
        // Justified: the slack goes between characters, none after
        // punctuation or an ideographic space, and the last one ends flush.
        qint64 slack = W - rangeWidth(l.from, l.to, 0);
        qint64 x = m;
        for (int j = 0; j < len - 1; ++j) {
            const int c = l.from + j;
            if (j > 0 && !run.has(c - 1, InMini2) && !run.is(c - 1, QChar(0x3000))) {
                const qint64 add = slack / (len - j);
                x += add;
                slack -= add;
            }
            addEntry(x, y, rw, rh, Qt::AlignLeft, c);
            x += w(c);
        }
        if (len > 1) {
            const int c = l.to - 1;
            x = W + m - ruleWidth(w(c), w(c), run.has(c, InAtamaZen), 1, mt.ooW, wordSpacing, true);
        }
        if (len > 0)
            addEntry(x, y, rw, rh, Qt::AlignLeft, l.to - 1);
    }
}

int BoxLayout::vertical()
{
    const qint64 cp = DrawObject::charPitch(mt.mFm, int(wordSpacing));
    const qint64 colp = lineSpacing + mt.ooW;
    const qint64 N = qMax<qint64>(1, H / cp);
    const int n = run.count();
    int curFrom = -1, curTo = -1;
    qint64 count = 0;
    int p = -1;

    for (int i = first; i < n; ++i) {
        const bool newline = isNewline(i);
        if (newline) {
            lines.append({curFrom < 0 ? i : curFrom, i + 1});
            curFrom = -1;
            count = 0;
        } else if (curFrom >= 0 && count >= N) {
            if (count == N && run.has(i, InAtama)) {
                // Closing marks hang below the column instead of opening the next.
                ++count;
                if (run.has(i + 1, InAtama)) {
                    ++i;
                    ++count;
                }
                curTo = i + 1;
            } else {
                lines.append({curFrom, curTo});
                curFrom = i;
                curTo = i + 1;
                count = 1;
            }
        } else {
            if (curFrom < 0)
                curFrom = i;
            curTo = i + 1;
            ++count;
            continue;
        }
        if (hasNext && !lines.isEmpty() && W <= lines.size() * colp + mt.ooW) {
            p = newline ? i + 1 : (curFrom < 0 ? i : curFrom);
            break;
        }
    }
    if (p < 0 && curFrom >= 0)
        lines.append({curFrom, curTo});

    storeLines();
    placeVertical(cp, N);
    return p;
}

void BoxLayout::placeVertical(qint64 cp, qint64 N)
{
    const qint64 colp = lineSpacing + mt.ooW;
    const qint64 cw = qint64(1.5 * mt.ooW);
    const qint64 bw = lines.size() * colp - lineSpacing;
    qint64 off = 0;
    if (hAlign() == Qt::AlignRight)
        off = 0;
    else if (hAlign() & Qt::AlignHCenter)
        off = (W - bw) / 2;
    else if (hAlign() & Qt::AlignLeft)
        off = W - bw;
    const qint64 x0 = qint64(double(W + m - off) - 1.25 * mt.ooW);

    for (int k = 0; k < lines.size(); ++k) {
        const Line& l = lines[k];
        const qint64 x = x0 - k * colp;
        const qint64 len = l.to - l.from;
        qint64 ch = len * cp - wordSpacing;
        if (len > N)
            ch -= cp;
        if (len > N + 1)
            ch -= cp;
        qint64 y = m;
        if (vAlign() & Qt::AlignVCenter)
            y += qint64((H - ch) * 0.5);
        else if (vAlign() & Qt::AlignBottom)
            y += H - ch;
        for (int j = 0; j < len; ++j) {
            const int c = l.from + j;
            addEntry(x, y, cw, 2 * cp, Qt::AlignHCenter, c);
            const quint8 f = run.flags[c];
            o->layoutKinds.append((f & InTate) ? 1 : (f & InMini1) ? 2 : (f & InMini2) ? 3 : 0);
            if ((f & InAtama) && j >= N - 1)
                y = qint64(y + 0.5 * cp);
            else
                y += cp;
        }
    }
}

void clearLayout(DrawObject* o)
{
    o->layoutRects.clear();
    o->layoutFlags.clear();
    o->layoutTexts.clear();
    o->layoutKinds.clear();
    o->layoutLines.clear();
}

// This box and the chain members after it, stopping at a missing, repeated or
// foreign member so that a damaged chain list can neither crash nor loop.
QList<DrawObject*> membersFrom(DrawObject* self)
{
    QList<DrawObject*> members{self};
    QList<DrawObject*>* list = self->textLinkList;
    const int at = self->getTextLinkIndex();
    if (!list || at < 0)
        return members;
    QSet<DrawObject*> seen{self};
    for (int k = at + 1; k < list->size(); ++k) {
        DrawObject* next = list->at(k);
        if (!next || next->textLinkList != list || seen.contains(next))
            break;
        seen.insert(next);
        members.append(next);
    }
    return members;
}

} // namespace

void DrawObject::relocateText(QString chainText)
{
    const QList<DrawObject*> members = membersFrom(this);
    if (chainText.isNull()) {
        chainText = QStringLiteral("");
        for (DrawObject* member : members)
            chainText += member->text;
    }
    const CharRun run(chainText);
    const int n = run.count();

    int first = 0;
    for (int k = 0; k < members.size(); ++k) {
        DrawObject* o = members[k];
        const bool hasNext = k + 1 < members.size();
        clearLayout(o);
        int p = -1;
        // Without a GUI application no font can be measured: the text is
        // kept whole in this box rather than lost.
        if (first < n && qGuiApp) {
            const QFontMetrics fm = PageFont::metrics(o->makeFont());
            Metrics metrics(fm);
            p = BoxLayout(o, run, first, hasNext, metrics).layout();
        }
        const int end = (!hasNext || p <= first) ? n : p;
        o->text = chainText.mid(run.start[first], run.start[end] - run.start[first]);
        first = end;
    }
}

int DrawObject::charPitch(const QFontMetrics& fm, int spacing)
{
    // A pitch below 1 would make every column endless.
    return int(qMax<qint64>(1, 2 - fm.boundingRect(QStringLiteral("Q")).top() + qint64(sane(spacing))));
}

bool DrawObject::isAlphabet(QString str)
{
    return !str.isEmpty() && isAlphabetChar(str.at(0));
}

bool DrawObject::containsStr(QString set, QString str)
{
    return !set.isEmpty() && !str.isEmpty() && set.contains(str);
}

int DrawObject::calcTextWidth(QString str, const QFontMetrics& fm, int spacing, bool force)
{
    const CharRun run(str);
    const int count = run.count();
    if (count == 0)
        return 0;
    Metrics metrics(fm);
    qint64 sum = 0;
    int last = 0;
    for (int k = 0; k < count; ++k) {
        last = metrics.width(run, k);
        sum += last;
    }
    const qint64 width =
        ruleWidth(sum, last, run.has(count - 1, InAtamaZen), count, metrics.ooW, sane(spacing), force);
    return int(qBound<qint64>(std::numeric_limits<int>::min(), width, std::numeric_limits<int>::max()));
}

#include "drawobject.h"
#include "fontmeasures.h"
#include "textreach.h"

#include <QGuiApplication>
#include <QHash>
#include <QSet>
#include <QVector>

#include <array>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <vector>

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

// The paragraphs of a last member's text with the lines each holds, counted
// from the end of the text: an edit before them (typing in an earlier
// member) leaves them, and their line counts, as they were.
struct LineIndex {
    QString text; // what was counted; shared, so it cannot change unseen
    QString key;  // what line breaking depends on
    QVector<qint64> fromEnd;    // where each paragraph starts, from the end; last paragraph first
    QVector<qint64> linesAfter; // lines in that paragraph and the ones after it
};

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

// A line feed at pos that ends a line: one not carrying combining marks.
bool isLineFeedAt(const QString& s, int pos)
{
    return s.at(pos) == QLatin1Char('\n') && charLength(s, pos) == 1;
}

// End of the paragraph starting at `from`: just past its line feed, or the
// end of the text.
int paragraphEnd(const QString& s, int from)
{
    for (int pos = s.indexOf(QLatin1Char('\n'), from); pos >= 0; pos = s.indexOf(QLatin1Char('\n'), pos + 1))
        if (isLineFeedAt(s, pos))
            return pos + 1;
    return s.size();
}

// The text of a chain, handed out as far as the layout reads: the members'
// texts are never joined as a whole, so what follows the visible part costs
// one copy at most (for the last member).
class TextFeed
{
public:
    explicit TextFeed(const QStringList& parts) : mParts(parts) {}

    // Appends up to `want` code units to buf; false when everything was given.
    bool feed(QString& buf, int want)
    {
        while (mPart < mParts.size() && mOffset >= mParts.at(mPart).size()) {
            ++mPart;
            mOffset = 0;
        }
        if (mPart >= mParts.size())
            return false;
        const QString& part = mParts.at(mPart);
        const int take = qMin(want, part.size() - mOffset);
        buf.append(part.constData() + mOffset, take);
        mOffset += take;
        return true;
    }

    // buf from `from` on, then everything not yet given.
    QString rest(const QString& buf, int from) const
    {
        int part = mPart, offset = mOffset;
        while (part < mParts.size() && offset >= mParts.at(part).size()) {
            ++part;
            offset = 0;
        }
        // The common case of a single box: its own text, shared, not copied.
        if (from >= buf.size() && offset == 0 && part == mParts.size() - 1 && !mParts.at(part).isNull())
            return mParts.at(part);
        qint64 size = buf.size() - qMin(from, buf.size());
        for (int k = part; k < mParts.size(); ++k)
            size += mParts.at(k).size() - (k == part ? offset : 0);
        QString out(QStringLiteral("")); // never null: a null text means "gather"
        out.reserve(int(qMin<qint64>(size, std::numeric_limits<int>::max())));
        if (from < buf.size())
            out.append(buf.constData() + from, buf.size() - from);
        for (int k = part; k < mParts.size(); ++k)
            out.append(mParts.at(k).constData() + (k == part ? offset : 0),
                       mParts.at(k).size() - (k == part ? offset : 0));
        return out;
    }

private:
    QStringList mParts;
    int mPart = 0;
    int mOffset = 0;
};

// The text split into characters, with set membership of each. Characters
// are split only as far as the layout asks; with a feed, the text itself
// grows as it is read.
class CharRun
{
public:
    CharRun(const QString& text, int from, TextFeed* feed = nullptr) : text(text), mFeed(feed) { mStart.append(from); }

    QString text;

    // Whether character k exists (splitting on to it). Indexes before the
    // first character match nothing, so a step looking beside an empty line
    // stays safe.
    bool valid(int k) { return k >= 0 && (k < count() || splitTo(k)); }
    int count() const { return mFlags.size(); }
    // Code unit where character k starts (k up to count()).
    int unit(int k) const { return mStart.at(k); }
    QString at(int k) const { return text.mid(mStart.at(k), mStart.at(k + 1) - mStart.at(k)); }
    bool single(int k) const { return mStart.at(k + 1) - mStart.at(k) == 1; }
    bool is(int k, QChar c) { return valid(k) && single(k) && text.at(mStart.at(k)) == c; }
    bool has(int k, quint8 flag) { return valid(k) && (mFlags.at(k) & flag); }
    bool alpha(int k) { return valid(k) && mAlpha.at(k); }
    quint8 flags(int k) const { return mFlags.at(k); }

private:
    bool splitTo(int k)
    {
        const auto& table = flagTable();
        while (count() <= k) {
            const int pos = mStart.last();
            // Marks after a character may still be unread: read two units past it.
            while (mFeed && pos + 2 >= text.size() && mFeed->feed(text, kChunk)) {
            }
            if (pos >= text.size())
                return false;
            int len = charLength(text, pos);
            while (mFeed && pos + len + 2 > text.size() && mFeed->feed(text, kChunk))
                len = charLength(text, pos);
            mStart.append(pos + len);
            mFlags.append(len == 1 ? table[text.at(pos).unicode()] : 0);
            mAlpha.append(isAlphabetChar(text.at(pos)));
        }
        return true;
    }

    static constexpr int kChunk = 2048;
    TextFeed* mFeed;
    QVector<int> mStart; // start of each character, plus the end of the last
    QVector<quint8> mFlags;
    QVector<bool> mAlpha;
};

// Width of a text measured as calcTextWidth does, from running sums.
qint64 ruleWidth(qint64 sum, int lastWidth, bool lastHangs, int count, int ooW, qint64 spacing, bool force)
{
    qint64 width = sum;
    if ((count >= 2 || force) && lastHangs)
        width = qint64(double(sum - lastWidth) + 0.5 * ooW);
    return width + qMax(0, count - 1) * spacing;
}

// Font measurements of one layout.
class Metrics
{
public:
    explicit Metrics(std::shared_ptr<FontMeasures> measures)
        : mMeasures(std::move(measures)), mFm(mMeasures->metrics()), ooW(mMeasures->ooW), lh(mMeasures->lineHeight)
    {
    }

    // Advance of character k, measured as a text of its own (a lone "\n"
    // then has no width, as inside a longer text).
    int width(const CharRun& run, int k)
    {
        if (!run.single(k))
            return mFm.horizontalAdvance(run.at(k));
        return mMeasures->width(run.text.at(run.unit(k)));
    }
    int charPitch(int spacing) const { return mMeasures->charPitch(spacing); }

private:
    std::shared_ptr<FontMeasures> mMeasures;

public:
    const QFontMetrics& mFm;
    const int ooW;
    const int lh;
};

struct Line {
    int from; // first character
    int to;   // one past the last character (a trailing "\n" included)
};

// Where a layout puts its entries (the object's lists, or a part of them).
struct Entries {
    QList<QRect> rects;
    QList<int> flags;
    QList<QString> texts;
    QList<int> kinds;
    QList<QString> lines;

    void moveTo(DrawObject* o)
    {
        o->layoutRects.swap(rects);
        o->layoutFlags.swap(flags);
        o->layoutTexts.swap(texts);
        o->layoutKinds.swap(kinds);
        o->layoutLines.swap(lines);
    }
};

// Breaks the characters of a run into lines (columns) and places them. The
// walk from a line's first character depends on nothing before it, so a
// layout may start after any line feed and stop once the lines it still needs
// are known.
class BoxLayout
{
public:
    BoxLayout(DrawObject* obj, CharRun& run, int first, bool hasNext, Metrics& metrics)
        : o(obj), run(run), first(first), hasNext(hasNext), mt(metrics)
    {
        m = sane(o->textMargin);
        W = qint64(sane(o->w)) - 2 * m;
        H = qint64(sane(o->h)) - 2 * m;
        lineSpacing = sane(o->textLineSpacing);
        wordSpacing = sane(o->textWordSpacing);
        lp = lineSpacing + mt.lh;
        cp = mt.charPitch(int(wordSpacing));
        colp = lineSpacing + mt.ooW;
        N = qMax<qint64>(1, H / cp);
        cw = qint64(1.5 * mt.ooW);
    }

    // Walks from `first` to the code unit `limit`, adding lines. Stops at the
    // overflow into the next member (returns where it takes over, else -1),
    // or once `beyond` says the line just finished is not needed (it is then
    // dropped and `stopped` set).
    int walk(int limit, const std::function<bool(int)>& beyond = nullptr)
    {
        return o->textTategaki ? walkVertical(limit, beyond) : walkHorizontal(limit, beyond);
    }

    DrawObject* o;
    CharRun& run;
    int first;
    bool hasNext;
    Metrics& mt;
    qint64 m, W, H, lineSpacing, wordSpacing;
    qint64 lp;   // line pitch (horizontal)
    qint64 cp;   // character pitch (vertical)
    qint64 colp; // column pitch (vertical)
    qint64 N;    // characters per column
    qint64 cw;   // column width
    QVector<Line> lines;
    bool stopped = false;

    // Extent of a placed line's entries across the lines (y for a line, x for
    // a column), as [lo, hi].
    qint64 bandHigh(qint64 at) const { return at + qMax<qint64>(1, o->textTategaki ? cw : 2 * qint64(mt.lh)) - 1; }

    // Horizontal line tops and vertical column lefts of every line, by the
    // alignment of the whole block of `count` lines.
    qint64 lineTop(int k, int count) const
    {
        const qint64 bh = count * lp - lineSpacing;
        qint64 y0 = m;
        if (vAlign() & Qt::AlignVCenter)
            y0 += (H - bh) / 2;
        else if (vAlign() & Qt::AlignBottom)
            y0 += H - bh;
        return y0 + k * lp;
    }
    qint64 columnLeft(int k, int count) const
    {
        const qint64 bw = count * colp - lineSpacing;
        qint64 off = 0;
        if (hAlign() == Qt::AlignRight)
            off = 0;
        else if (hAlign() & Qt::AlignHCenter)
            off = (W - bw) / 2;
        else if (hAlign() & Qt::AlignLeft)
            off = W - bw;
        return qint64(double(W + m - off) - 1.25 * mt.ooW) - k * colp;
    }
    qint64 lineAt(int k, int count) const { return o->textTategaki ? columnLeft(k, count) : lineTop(k, count); }

    void placeLine(const Line& l, qint64 at, bool lastOfText, Entries& out)
    {
        out.lines.append(run.text.mid(run.unit(l.from), run.unit(l.to) - run.unit(l.from)));
        if (o->textTategaki)
            placeColumn(l, at, out);
        else
            placeHorizontal(l, at, isNewline(l.to - 1) || lastOfText, out);
    }

    int hAlign() const { return o->textAlign & Qt::AlignHorizontal_Mask; }
    int vAlign() const { return o->textAlign & Qt::AlignVertical_Mask; }

private:
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
    bool isNewline(int k) { return run.is(k, QLatin1Char('\n')); }
    bool inside(int i, int limit) { return run.valid(i) && run.unit(i) < limit; }

    void addEntry(qint64 x, qint64 y, qint64 rw, qint64 rh, int flags, int k, Entries& out)
    {
        out.rects.append(QRect(pin(x), pin(y), pin(qMax<qint64>(rw, 0)), pin(qMax<qint64>(rh, 0))));
        out.flags.append(flags);
        out.texts.append(run.at(k));
    }

    int walkHorizontal(int limit, const std::function<bool(int)>& beyond);
    void placeHorizontal(const Line& l, qint64 y, bool flush, Entries& out);
    int walkVertical(int limit, const std::function<bool(int)>& beyond);
    void placeColumn(const Line& l, qint64 x, Entries& out);
};

int BoxLayout::walkHorizontal(int limit, const std::function<bool(int)>& beyond)
{
    int curFrom = -1, curTo = -1; // current line, empty while curFrom < 0
    qint64 curSum = 0;
    int p = -1;

    for (int i = first; inside(i, limit); ++i) {
        const int unitFrom = i;
        qint64 uSum = w(i);
        if (!run.is(i, QLatin1Char(' ')) && !isNewline(i) && !isNewline(i + 1)) {
            if (run.alpha(i)) {
                // Latin words break only where they must.
                int count = 1;
                while (run.valid(i + 1) && run.alpha(i + 1)) {
                    const int w1 = w(i + 1);
                    if (ruleWidth(uSum + w1, w1, run.has(i + 1, InAtamaZen), count + 1, mt.ooW, wordSpacing,
                                  false) > W)
                        break;
                    uSum += w1;
                    ++count;
                    ++i;
                    if (!run.valid(i + 1))
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
                if (run.valid(i + 1))
                    uSum += w(i + 1);
                i += 1;
            }
        }
        const int unitTo = run.valid(i) ? i + 1 : run.count();
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
        if (check && beyond && beyond(lines.size() - 1)) {
            lines.removeLast();
            stopped = true;
            break;
        }
        i = unitTo - 1;
    }
    if (p < 0 && !stopped && curFrom >= 0)
        lines.append({curFrom, curTo});
    return p;
}

void BoxLayout::placeHorizontal(const Line& l, qint64 y, bool flush, Entries& out)
{
    const qint64 rw = 2 * qint64(mt.ooW), rh = 2 * qint64(mt.lh);
    const int len = l.to - l.from;
    if (len <= 0) // a line that held only a space it dropped
        return;
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
            addEntry(x, y, rw, rh, Qt::AlignLeft, c, out);
            x += w(c) + wordSpacing;
        }
        return;
    }
    // Justified: the slack goes between characters, none after punctuation
    // or an ideographic space, and the last one ends flush.
    qint64 slack = W - rangeWidth(l.from, l.to, 0);
    qint64 x = m;
    for (int j = 0; j < len - 1; ++j) {
        const int c = l.from + j;
        if (j > 0 && !run.has(c - 1, InMini2) && !run.is(c - 1, QChar(0x3000))) {
            const qint64 add = slack / (len - j);
            x += add;
            slack -= add;
        }
        addEntry(x, y, rw, rh, Qt::AlignLeft, c, out);
        x += w(c);
    }
    if (len > 1) {
        const int c = l.to - 1;
        x = W + m - ruleWidth(w(c), w(c), run.has(c, InAtamaZen), 1, mt.ooW, wordSpacing, true);
    }
    if (len > 0)
        addEntry(x, y, rw, rh, Qt::AlignLeft, l.to - 1, out);
}

int BoxLayout::walkVertical(int limit, const std::function<bool(int)>& beyond)
{
    int curFrom = -1, curTo = -1;
    qint64 count = 0;
    int p = -1;

    for (int i = first; inside(i, limit); ++i) {
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
        if (beyond && !lines.isEmpty() && beyond(lines.size() - 1)) {
            lines.removeLast();
            stopped = true;
            break;
        }
    }
    if (p < 0 && !stopped && curFrom >= 0)
        lines.append({curFrom, curTo});
    return p;
}

void BoxLayout::placeColumn(const Line& l, qint64 x, Entries& out)
{
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
        addEntry(x, y, cw, 2 * cp, Qt::AlignHCenter, c, out);
        const quint8 f = run.flags(c);
        out.kinds.append((f & InTate) ? 1 : (f & InMini1) ? 2 : (f & InMini2) ? 3 : 0);
        if ((f & InAtama) && j >= N - 1)
            y = qint64(y + 0.5 * cp);
        else
            y += cp;
    }
}

void clearLayout(DrawObject* o)
{
    o->layoutRects.clear();
    o->layoutFlags.clear();
    o->layoutTexts.clear();
    o->layoutKinds.clear();
    o->layoutLines.clear();
    o->layoutReach = QRect();
    o->layoutPartial = false;
}

// The full layout of a box's lines: every line placed.
void placeAll(BoxLayout& b, bool complete, Entries& out)
{
    const int count = b.lines.size();
    for (int k = 0; k < count; ++k)
        b.placeLine(b.lines.at(k), b.lineAt(k, count), k == count - 1 && complete, out);
}

// How the lines of a box stand with the alignment: stacked from the first
// line (the end of the text runs off the page), from the last one, or
// centred on the whole block.
enum class Anchor { First, Last, Middle };

Anchor anchorOf(const BoxLayout& b)
{
    if (b.o->textTategaki) {
        const int h = b.hAlign();
        if (h == Qt::AlignRight || !(h & (Qt::AlignHCenter | Qt::AlignLeft)))
            return b.colp > 0 ? Anchor::First : Anchor::Middle;
        if (h & Qt::AlignHCenter)
            return Anchor::Middle;
        return b.colp > 0 ? Anchor::Last : Anchor::Middle;
    }
    if (b.vAlign() & Qt::AlignVCenter)
        return Anchor::Middle;
    if (b.vAlign() & Qt::AlignBottom)
        return b.lp > 0 ? Anchor::Last : Anchor::Middle;
    return b.lp > 0 ? Anchor::First : Anchor::Middle;
}

// Lays out the last member of a chain (or a lone box), whose text is all its
// own and may run past the box: only lines that can reach `reach` are
// placed, and the walk stops once no later line can. Returns whether some
// glyph was left out.
// One paragraph [from, to) of a text walked on its own.
struct Paragraph {
    std::unique_ptr<CharRun> run;
    std::unique_ptr<BoxLayout> layout;

    Paragraph(DrawObject* o, const QString& text, int from, int to, Metrics& mt)
        : run(std::make_unique<CharRun>(text, from)), layout(std::make_unique<BoxLayout>(o, *run, 0, false, mt))
    {
        layout->walk(to);
    }
};

// Counts the lines of o's text paragraph by paragraph. The paragraphs that
// lie within the last `common` characters of what the index counted before
// keep their counts; only the text before them is walked.
std::shared_ptr<LineIndex> countLines(DrawObject* o, Metrics& mt, const QString& key, qint64 common)
{
    const QString& text = o->text;
    const std::shared_ptr<LineIndex> before = o->layoutIndex;
    auto index = std::make_shared<LineIndex>();
    index->text = text;
    index->key = key;
    int keep = 0;
    if (before && before->key == key)
        while (keep < before->fromEnd.size() && before->fromEnd.at(keep) + 1 <= common)
            ++keep;
    index->fromEnd = before ? before->fromEnd.mid(0, keep) : QVector<qint64>();
    index->linesAfter = before ? before->linesAfter.mid(0, keep) : QVector<qint64>();
    const int walkTo = int(text.size() - (keep > 0 ? index->fromEnd.last() : 0));
    QVector<std::pair<int, int>> counted; // start and lines of each paragraph walked
    for (int from = 0; from < walkTo;) {
        const int to = paragraphEnd(text, from);
        counted.append({from, Paragraph(o, text, from, to, mt).layout->lines.size()});
        from = to;
    }
    for (int k = counted.size() - 1; k >= 0; --k) {
        index->fromEnd.append(text.size() - counted.at(k).first);
        index->linesAfter.append((index->linesAfter.isEmpty() ? 0 : index->linesAfter.last()) + counted.at(k).second);
    }
    return index;
}

qint64 floorDiv(qint64 a, qint64 d) // d > 0
{
    return a / d - (a % d != 0 && a < 0 ? 1 : 0);
}

// Places the lines of a centred text that meet [from, to] across its lines,
// finding them by the line counts of its paragraphs: only the paragraphs
// holding them are walked. Returns whether some line was left out.
bool placeMiddle(DrawObject* o, BoxLayout& b, Metrics& mt, const LineIndex& index, qint64 from, qint64 to,
                 Entries& out)
{
    const QString& text = o->text;
    const int count = index.linesAfter.isEmpty() ? 0 : int(index.linesAfter.last());
    if (count == 0)
        return false;
    // Lines lie one pitch apart from the first; take the range that can meet
    // the reach, a line wider on each side, and check each.
    const qint64 at0 = b.lineAt(0, count), extent = b.bandHigh(0) + 1;
    qint64 lo, hi;
    if (o->textTategaki) { // columns run leftwards
        lo = -floorDiv(to - at0, b.colp);
        hi = floorDiv(at0 + extent - 1 - from, b.colp);
    } else {
        lo = -floorDiv(at0 + extent - 1 - from, b.lp);
        hi = floorDiv(to - at0, b.lp);
    }
    lo = qMax<qint64>(0, lo - 1);
    hi = qMin<qint64>(count - 1, hi + 1);
    int placed = 0;
    std::unique_ptr<Paragraph> walked;
    int walkedIndex = -1;
    for (qint64 k = lo; k <= hi; ++k) {
        const qint64 at = b.lineAt(int(k), count);
        if (b.bandHigh(at) < from || at > to)
            continue;
        // The paragraph holding line k, counted from the end of the text.
        const qint64 fromLast = count - k;
        const int p = int(std::lower_bound(index.linesAfter.begin(), index.linesAfter.end(), fromLast)
                          - index.linesAfter.begin());
        if (p != walkedIndex) {
            const int start = int(text.size() - index.fromEnd.at(p));
            const int end = p == 0 ? text.size() : int(text.size() - index.fromEnd.at(p - 1));
            walked = std::make_unique<Paragraph>(o, text, start, end, mt);
            walkedIndex = p;
        }
        const qint64 firstLine = count - index.linesAfter.at(p);
        walked->layout->placeLine(walked->layout->lines.at(int(k - firstLine)), at, k == count - 1, out);
        ++placed;
    }
    return placed < count;
}

bool layoutLast(DrawObject* o, Metrics& mt, const QRect& reach, const QString& fontKey, qint64 common, Entries& out)
{
    const QString text = o->text;
    CharRun run(text, 0);
    BoxLayout b(o, run, 0, false, mt);
    const bool vertical = o->textTategaki;
    const qint64 from = vertical ? reach.left() : reach.top();
    const qint64 to = vertical ? reach.right() : reach.bottom();
    auto meets = [&](qint64 at) { return b.bandHigh(at) >= from && at <= to; };
    bool omitted = false;
    const Anchor anchor = anchorOf(b);
    const bool indexed = anchor == Anchor::Middle && (vertical ? b.colp : b.lp) > 0;
    if (!indexed)
        o->layoutIndex.reset();
    if (reach.isEmpty())
        return true; // nothing of it can be seen

    if (indexed) {
        const QString key = QString("%1@%2|%3|%4|%5|%6").arg(fontKey).arg(mt.mFm.fontDpi()).arg(vertical)
                                .arg(b.W).arg(b.wordSpacing).arg(b.N);
        o->layoutIndex = countLines(o, mt, key, common);
        return placeMiddle(o, b, mt, *o->layoutIndex, from, to, out);
    }
    switch (anchor) {
    case Anchor::First: {
        // Lines run away from the first one; the first that lies past the
        // reach ends the walk.
        const int K = INT_MAX; // the block's size does not move its first line
        auto past = [&](qint64 at) { return vertical ? b.bandHigh(at) < from : at > to; };
        b.walk(INT_MAX, [&](int k) { return past(b.lineAt(k, K)); });
        omitted = b.stopped;
        const int count = b.lines.size();
        for (int k = 0; k < count; ++k) {
            const qint64 at = b.lineAt(k, K);
            if (meets(at))
                b.placeLine(b.lines.at(k), at, k == count - 1 && !b.stopped, out);
            else
                omitted = true;
        }
        return omitted;
    }
    case Anchor::Middle: {
        b.walk(INT_MAX);
        const int count = b.lines.size();
        for (int k = 0; k < count; ++k) {
            const qint64 at = b.lineAt(k, count);
            if (meets(at))
                b.placeLine(b.lines.at(k), at, k == count - 1, out);
            else
                omitted = true;
        }
        return omitted;
    }
    case Anchor::Last:
        break;
    }

    // Lines stack up from the end of the text. A line feed ends a line
    // wherever the walk began, so the text is walked paragraph by paragraph
    // from the end until the earliest line found lies past the reach.
    std::vector<std::unique_ptr<Paragraph>> found; // last paragraph first
    qint64 after = 0;             // lines found so far, counted from the end
    int end = text.size();
    bool atStart = false;
    // Position of the j-th line from the end. The block's left (top) edge is
    // rounded as a whole; once the block reaches right of the truncation
    // point, the rounding no longer depends on how many lines precede.
    const qint64 vBase = qint64(std::floor(double(b.m - b.lineSpacing) - 1.25 * mt.ooW));
    auto fromEnd = [&](qint64 j) {
        return vertical ? vBase + j * b.colp : b.m + b.H + b.lineSpacing - j * b.lp;
    };
    auto settled = [&](qint64 j) {
        if (vertical)
            return fromEnd(j) > to && double(b.m + j * b.colp - b.lineSpacing) - 1.25 * mt.ooW >= 0;
        return b.bandHigh(fromEnd(j)) < from;
    };
    while (!atStart) {
        // The paragraph's own closing line feed (at end - 1) belongs to it.
        int start = end - 1;
        while (start > 0 && !isLineFeedAt(text, start - 1))
            --start;
        start = qMax(0, start);
        found.push_back(std::make_unique<Paragraph>(o, text, start, end, mt));
        after += found.back()->layout->lines.size();
        atStart = start == 0;
        end = start;
        if (after > 0 && settled(after))
            break;
    }
    omitted = !atStart;
    const qint64 K = after;
    qint64 j = K; // lines from the end of the one being placed, counting it
    for (auto it = found.rbegin(); it != found.rend(); ++it) {
        BoxLayout& pl = *(*it)->layout;
        for (const Line& l : pl.lines) {
            const qint64 at = atStart ? pl.lineAt(int(K - j), int(K)) : fromEnd(j);
            if (meets(at))
                pl.placeLine(l, at, j == 1, out);
            else
                omitted = true;
            --j;
        }
    }
    return omitted;
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

// Places the text of the last member, whose text is final, for what `area`
// (page coordinates) can show. `before` was its text until now; the new one
// ends with `common` characters of it.
void placeLast(DrawObject* o, const QRect& area, const QString& before, qint64 common)
{
    clearLayout(o);
    // Without a GUI application no font can be measured.
    if (o->text.isEmpty() || !qGuiApp)
        return;
    const std::shared_ptr<FontMeasures> measures = FontMeasures::of(o->makeFont());
    Metrics metrics(measures);
    Entries out;
    if (TextReach::unbounded()) {
        CharRun run(o->text, 0);
        BoxLayout b(o, run, 0, false, metrics);
        b.walk(INT_MAX);
        placeAll(b, true, out);
    } else {
        // Counts kept from before hold only for the very text they counted.
        const LineIndex* index = o->layoutIndex.get();
        const bool counted = index && index->text.constData() == before.constData() && index->text.size() == before.size();
        o->layoutReach = TextReach::reach(*o, area, *measures);
        o->layoutPartial =
            layoutLast(o, metrics, o->layoutReach, o->makeFont().key(), counted ? common : 0, out);
    }
    out.moveTo(o);
}

void relocate(DrawObject* self, QString chainText, const QRect& area)
{
    const QList<DrawObject*> members = membersFrom(self);
    QStringList parts;
    if (chainText.isNull()) {
        for (DrawObject* member : members)
            parts << member->text;
    } else {
        parts << chainText;
    }
    TextFeed feed(parts);
    CharRun run(QString(), 0, &feed);

    int first = 0;
    for (int k = 0; k < members.size(); ++k) {
        DrawObject* o = members[k];
        if (k + 1 == members.size()) {
            const QString before = o->text;
            o->text = feed.rest(run.text, run.unit(first));
            // Its former text was the last part read, so the new one ends
            // with as much of it as both hold.
            placeLast(o, area, before, chainText.isNull() ? qMin(before.size(), o->text.size()) : 0);
            return;
        }
        clearLayout(o);
        o->layoutIndex.reset(); // kept only for a last member
        int p = -1;
        // Without a GUI application no font can be measured: the text is
        // kept whole in this box rather than lost.
        if (run.valid(first) && qGuiApp) {
            Metrics metrics(FontMeasures::of(o->makeFont()));
            BoxLayout b(o, run, first, true, metrics);
            p = b.walk(INT_MAX);
            Entries out;
            placeAll(b, p < 0, out);
            out.moveTo(o);
        }
        if (p <= first) {
            // This member holds the rest; the ones after it stay empty.
            o->text = feed.rest(run.text, run.unit(first));
            for (int e = k + 1; e < members.size(); ++e) {
                clearLayout(members[e]);
                members[e]->text = QStringLiteral("");
            }
            return;
        }
        o->text = run.text.mid(run.unit(first), run.unit(p) - run.unit(first));
        first = p;
    }
}

} // namespace

void DrawObject::relocateText(QString chainText)
{
    relocate(this, chainText, TextReach::pageRect());
}

void DrawObject::ensureLaidOut(const QRect& area, const QRect& need)
{
    if (!layoutPartial || !qGuiApp)
        return;
    if (need.isEmpty() || layoutReach.contains(need))
        return;
    // Only the last member is ever left partial; its text is all its own.
    if (membersFrom(this).size() > 1)
        return;
    placeLast(this, area.united(TextReach::pageRect()), text, text.size());
}

int DrawObject::charPitch(const QFontMetrics& fm, int spacing)
{
    return pitchFromTop(fm.boundingRect(QStringLiteral("Q")).top(), spacing);
}

int DrawObject::pitchFromTop(int qTop, int spacing)
{
    // A pitch below 1 would make every column endless.
    return int(qMax<qint64>(1, 2 - qint64(qTop) + qint64(sane(spacing))));
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
    CharRun run(str, 0);
    Metrics metrics(std::make_shared<FontMeasures>(fm));
    qint64 sum = 0;
    int last = 0, count = 0;
    for (; run.valid(count); ++count) {
        last = metrics.width(run, count);
        sum += last;
    }
    if (count == 0)
        return 0;
    const qint64 width =
        ruleWidth(sum, last, run.has(count - 1, InAtamaZen), count, metrics.ooW, sane(spacing), force);
    return int(qBound<qint64>(std::numeric_limits<int>::min(), width, std::numeric_limits<int>::max()));
}

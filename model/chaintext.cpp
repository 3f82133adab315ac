#include "chaintext.h"

#include "command.h"
#include "drawobject.h"

#include <QHash>
#include <QSet>

namespace ChainText {

QList<DrawObject*> members(const DrawObject* obj)
{
    QList<DrawObject*>* list = obj ? obj->textLinkList : nullptr;
    if (!list)
        return {const_cast<DrawObject*>(obj)};
    QList<DrawObject*> out;
    QSet<DrawObject*> seen;
    for (DrawObject* m : *list) {
        if (!m || m->textLinkList != list || seen.contains(m))
            break;
        seen.insert(m);
        out.append(m);
    }
    return out;
}

int offset(const DrawObject* obj)
{
    qint64 at = 0;
    for (const DrawObject* m : members(obj)) {
        if (m == obj)
            break;
        at += m->text.size();
    }
    return int(qMin<qint64>(at, INT_MAX));
}

QString span(const DrawObject* obj, int at, int length)
{
    QString out("");
    qint64 start = 0;
    const qint64 end = qint64(at) + qMax(0, length);
    for (const DrawObject* m : members(obj)) {
        const qint64 size = m->text.size();
        if (start + size > at && start < end)
            out += m->text.mid(int(qMax<qint64>(0, at - start)), int(qMin(end, start + size) - qMax<qint64>(at, start)));
        start += size;
    }
    return out;
}

void replace(DrawObject* obj, int at, int length, const QString& text)
{
    const QList<DrawObject*> list = members(obj);
    if (list.isEmpty())
        return;
    qint64 total = 0;
    for (const DrawObject* m : list)
        total += m->text.size();
    const qint64 from = qBound<qint64>(0, at, total);
    const qint64 to = qBound<qint64>(from, qint64(from) + qMax(0, length), total);
    // The member holding `from` takes the new text and what follows `to`;
    // the members in between lose what the span covered.
    qint64 start = 0;
    int first = -1;
    QString head, tail;
    for (int k = 0; k < list.size(); ++k) {
        DrawObject* m = list.at(k);
        const qint64 size = m->text.size();
        const bool holdsFrom = first < 0 && (from < start + size || k == list.size() - 1);
        if (holdsFrom) {
            first = k;
            head = m->text.left(int(from - start));
        }
        if (first >= 0 && (to <= start + size || k == list.size() - 1)) {
            tail = m->text.mid(int(qMin(size, to - start)));
            for (int e = first + 1; e <= k; ++e)
                list.at(e)->text = QStringLiteral("");
            list.at(first)->text = head + text + tail;
            return;
        }
        start += size;
    }
}

Command* undoRecord(const Command* cmd)
{
    const QStringList parts = cmd->distributeValues();
    QHash<const QList<DrawObject*>*, int> targetsPerChain;
    for (const DrawObject* o : cmd->objs)
        if (o && o->textLinkList)
            ++targetsPerChain[o->textLinkList];

    auto* rec = new Command(cmd);
    rec->objs.clear();
    rec->textSpans.clear();
    QStringList values;
    for (int i = 0; i < cmd->objs.size(); ++i) {
        DrawObject* o = cmd->objs.at(i);
        const bool alone = !o || !o->textLinkList;
        if (alone || targetsPerChain.value(o->textLinkList) > 1) {
            for (DrawObject* m : alone ? QList<DrawObject*>{o} : members(o)) {
                if (alone || !rec->objs.contains(m)) {
                    rec->objs << m;
                    values << (m ? m->text : QString());
                    rec->textSpans << Command::TextSpan();
                }
            }
            continue;
        }
        const QString next = parts.value(i);
        const bool spanned = i < cmd->textSpans.size() && cmd->textSpans.at(i).at >= 0;
        const int at = spanned ? cmd->textSpans.at(i).at : offset(o);
        rec->objs << o;
        values << (spanned ? span(o, at, cmd->textSpans.at(i).length) : o->text);
        rec->textSpans << Command::TextSpan{at, int(next.size())};
    }
    rec->value = Command::perObjectList(values); // each target its own value
    return rec;
}

}

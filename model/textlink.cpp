#include "textlink.h"

#include "drawobject.h"

namespace TextLink {

QList<DrawObject*>* repair(QList<DrawObject*>* list)
{
    if (!list)
        return nullptr;
    QList<DrawObject*> kept;
    for (DrawObject* m : *list)
        if (m && m->textLinkList == list && !kept.contains(m))
            kept.append(m);
    *list = kept;
    if (list->size() >= 2)
        return list;
    for (DrawObject* m : kept)
        m->textLinkList = nullptr;
    delete list;
    return nullptr;
}

QList<DrawObject*> shareConfObjs(const DrawObject* obj)
{
    QList<DrawObject*> out;
    if (!obj || !obj->textLinkList || !obj->textLinkShareConf)
        return out;
    for (DrawObject* m : *obj->textLinkList)
        if (m && m != obj && m->textLinkShareConf && !out.contains(m))
            out.append(m);
    return out;
}

bool insertAfter(DrawObject* a, DrawObject* b)
{
    if (!a || !b || a == b || b->textLinkList)
        return false;
    QList<DrawObject*>* list = a->textLinkList;
    if (list && !list->contains(a)) {
        // a claims a chain that does not hold it: start afresh.
        list = nullptr;
    }
    if (list) {
        list = repair(list);
        if (!list || !list->contains(a))
            list = nullptr;
    }
    if (!list) {
        list = new QList<DrawObject*>{a};
        a->textLinkList = list;
    }
    list->insert(list->indexOf(a) + 1, b);
    b->textLinkList = list;
    return true;
}

DrawObject* remove(DrawObject* t)
{
    if (!t || !t->textLinkList)
        return nullptr;
    QList<DrawObject*>* list = t->textLinkList;
    if (!list->contains(t)) {
        t->textLinkList = nullptr;
        return nullptr;
    }
    list = repair(list);
    if (!list)
        return nullptr; // dissolved: fewer than two sound members
    if (list->size() == 2) {
        for (DrawObject* m : *list)
            m->textLinkList = nullptr;
        delete list;
        return nullptr;
    }
    const int at = list->indexOf(t);
    if (at == 0) {
        DrawObject* next = list->at(1);
        next->text = t->text + next->text;
    } else {
        list->at(at - 1)->text += t->text;
    }
    t->text.clear();
    list->removeAt(at);
    t->textLinkList = nullptr;
    return list->first();
}

DrawObject* first(DrawObject* obj)
{
    if (obj && obj->textLinkList && !obj->textLinkList->isEmpty() && obj->textLinkList->first())
        return obj->textLinkList->first();
    return obj;
}

void copySharedSettings(const DrawObject* from, DrawObject* to)
{
    if (!from || !to)
        return;
    to->textColor = from->textColor;
    to->textFont = from->textFont;
    to->textSize = from->textSize;
    to->textMargin = from->textMargin;
    to->textLineSpacing = from->textLineSpacing;
    to->textWordSpacing = from->textWordSpacing;
    to->textAlign = from->textAlign;
    to->textItalic = from->textItalic;
    to->textStrikeout = from->textStrikeout;
    to->textUnderline = from->textUnderline;
    to->textImaging = from->textImaging;
    to->textWeight = from->textWeight;
    to->textTategaki = from->textTategaki;
    to->textTateRevMiniX = from->textTateRevMiniX;
    to->textTateRevMiniY = from->textTateRevMiniY;
    to->textTateRevPuncX = from->textTateRevPuncX;
    to->textTateRevPuncY = from->textTateRevPuncY;
    to->textTateRevRotateX = from->textTateRevRotateX;
    to->textTateRevRotateY = from->textTateRevRotateY;
    to->textEdgeColor = from->textEdgeColor;
    to->textEdgeWidth = from->textEdgeWidth;
}

}

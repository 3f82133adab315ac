#ifndef TEXTLINK_H
#define TEXTLINK_H

#include <QList>

class DrawObject;

// Text link chains: a heap list shared by its members through textLinkList,
// in flow order. Every operation tolerates damaged lists (null entries,
// members that point elsewhere, fewer than two members) and repairs them.
namespace TextLink {

// The other members of obj's chain that share text settings, in chain order;
// empty when obj is not linked or does not share itself.
QList<DrawObject*> shareConfObjs(const DrawObject* obj);

// Links b right after a, starting a chain when a has none. Refuses (false,
// nothing changed) a null box, b == a, or a b that is already linked.
bool insertAfter(DrawObject* a, DrawObject* b);

// Takes t out of its chain. Two members: the chain dissolves and both keep
// their text. Three or more: t's text goes to a neighbour so none is lost.
// Returns a member of the chain left behind, or nullptr when none is left.
DrawObject* remove(DrawObject* t);

// First member of obj's chain, or obj itself when it is not linked.
DrawObject* first(DrawObject* obj);

// Copies the text settings that linked members share.
void copySharedSettings(const DrawObject* from, DrawObject* to);

// Drops null entries, duplicates and members whose textLinkList is another
// list; a chain left with fewer than two members is dissolved (and freed).
// Returns the list, or nullptr when it was dissolved.
QList<DrawObject*>* repair(QList<DrawObject*>* list);

}

#endif

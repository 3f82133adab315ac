#ifndef CHAINTEXT_H
#define CHAINTEXT_H

#include <QList>
#include <QString>

class Command;
class DrawObject;

// The text of a link chain taken as one: its members' texts in flow order.
// A layout spreads it over the members again, so a change to it can be
// recorded and undone on the chain's text, at the cost of what changed.
namespace ChainText {

// Members whose texts make up the chain's text (obj alone when unlinked),
// stopping where a damaged list stops the layout.
QList<DrawObject*> members(const DrawObject* obj);

// Where obj's text starts within its chain's text.
int offset(const DrawObject* obj);

// `length` characters of the chain's text from `at` (kept within it).
QString span(const DrawObject* obj, int at, int length);

// Replaces `length` characters of the chain's text from `at` with `text`.
void replace(DrawObject* obj, int at, int length, const QString& text);

// The undo record of a text change (code CMD_OBJ_TEXT_CHANGE), taken before
// it runs. A change to one member of a chain moves text into the members
// after it; its record gives back just the span the new text will take, so
// undoing returns the chain's text as it was, whatever the layout moved.
// Targets sharing a chain get every member's whole text back instead.
Command* undoRecord(const Command* cmd);

}

#endif

#ifndef DOCUMENTSTATE_H
#define DOCUMENTSTATE_H

#include <QObject>

// Whether the document differs from what was last saved. Every state the
// history can reach has a number: an undoable step makes a new one, undo and
// redo return to the number their record carries, so undoing back to the
// saved state makes the document clean again. A change no undo can take back
// (links, settings) leaves it modified until the next save.
class DocumentState : public QObject
{
    Q_OBJECT

public:
    using Id = quint64;

    Id current() const { return mCurrent; }
    bool isModified() const { return mCurrent != mSaved; }

    // A recorded command changes the document: a new state (its undo record
    // carries current() from before).
    void step();
    // Undo or redo brought the document back to a state of the history.
    void reach(Id state);
    // The current step went on changing without a record of its own (the
    // rest of a drag): undo still returns to the state before it.
    void amend();
    // A change no undo or redo can take back.
    void changeOutsideHistory();

    void markSaved();
    // A new or freshly opened document: clean, nothing to go back to.
    void reset();

    // Whether a command code changes the document (selection does not).
    static bool changesDocument(int code);

signals:
    void modifiedChanged(bool modified);
    // The document changed (not emitted by markSaved or reset).
    void changed();

private:
    static constexpr Id NEVER = 0; // the saved state is out of reach
    void setSaved(Id saved);
    Id mNext = 2;
    Id mCurrent = 1;
    Id mSaved = 1;
};

#endif

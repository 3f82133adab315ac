#include "documentstate.h"

#include "command.h"

void DocumentState::step()
{
    reach(mNext++);
}

void DocumentState::reach(Id state)
{
    const bool was = isModified();
    mCurrent = state;
    if (was != isModified())
        emit modifiedChanged(isModified());
    emit changed();
}

void DocumentState::amend()
{
    // Undo and redo will meet this state in its amended form, not the saved one.
    if (mSaved == mCurrent)
        setSaved(NEVER);
    emit changed();
}

void DocumentState::changeOutsideHistory()
{
    // Every state of the history now carries this change: none is the saved one.
    setSaved(NEVER);
    emit changed();
}

void DocumentState::markSaved()
{
    setSaved(mCurrent);
}

void DocumentState::reset()
{
    mCurrent = mNext++;
    setSaved(mCurrent);
}

void DocumentState::setSaved(Id saved)
{
    const bool was = isModified();
    mSaved = saved;
    if (was != isModified())
        emit modifiedChanged(isModified());
}

bool DocumentState::changesDocument(int code)
{
    switch (code) {
    case CMD_OBJ_CREATE:
    case CMD_OBJ_DELETE:
    case CMD_OBJ_Z_CHANGE:
    case CMD_OBJ_RECT_CHANGE:
    case CMD_OBJ_RECT_MOVE:
    case CMD_OBJ_TEXT_LINK_CHANGE:
    case CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE:
    case CMD_OBJ_RULEDLINE_CHANGE:
    case CMD_OBJ_IMG_PATH_CHANGE:
        return true;
    default:
        return Command::hasField(code);
    }
}

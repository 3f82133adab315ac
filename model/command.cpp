#include "command.h"

#include <QStringList>

const QString Command::SEPA_OBJVAL = QString(QChar(0x0007));

Command::Command(const Command* other)
{
    if (other) {
        type = other->type;
        value = other->value;
        objs = other->objs;
    }
}

void Command::addObj(DrawObject* obj)
{
    objs.append(obj);
}

void Command::addObjs(QList<DrawObject*> list)
{
    objs.append(list);
}

int Command::countObjects() const
{
    return objs.size();
}

QStringList Command::distributeValues(int* partCount) const
{
    QStringList parts = value.split(SEPA_OBJVAL, Qt::KeepEmptyParts);
    while (parts.size() > objs.size() && parts.size() > 0)
        parts.removeLast();
    if (partCount)
        *partCount = parts.size();
    QStringList out;
    for (int i = 0; i < objs.size(); ++i)
        out.append(i < parts.size() ? parts.at(i) : (parts.isEmpty() ? QString() : parts.at(0)));
    return out;
}

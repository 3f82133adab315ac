#ifndef SEAMTESTCASE_H
#define SEAMTESTCASE_H

#include "setting.h"
#include "testsupport.h"

#include <QObject>

// A test case whose every function starts on default settings with a fresh
// scripted seam.
class SeamTestCase : public QObject
{
    Q_OBJECT
protected:
    ScriptedSeam* seam = nullptr;

private slots:
    void init() { Setting::resetDefaults(), seam = ScriptedSeam::install(); }
};

#endif

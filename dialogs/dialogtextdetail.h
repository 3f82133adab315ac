#ifndef DIALOGTEXTDETAIL_H
#define DIALOGTEXTDETAIL_H

#include <QDialog>

class DrawObject;

namespace Ui {
class DialogTextDetail;
}

// Position corrections for vertical writing. Holds no object: every spin-box
// change goes out as textDetailChanged(command code, value) and the main
// window turns it into an undoable command for the selection.
class DialogTextDetail : public QDialog
{
    Q_OBJECT

public:
    explicit DialogTextDetail(QWidget* parent = nullptr);
    ~DialogTextDetail() override;

    Ui::DialogTextDetail* ui;

    // Shows obj's six corrections without emitting anything; null leaves the boxes as they are.
    void setDrawObject(DrawObject* obj);

signals:
    void textDetailChanged(int cmdType, int value);

public slots:
    void on_spnTateRevRotateX_valueChanged(int value);
    void on_spnTateRevRotateY_valueChanged(int value);
    void on_spnTateRevMiniX_valueChanged(int value);
    void on_spnTateRevMiniY_valueChanged(int value);
    void on_spnTateRevPuncX_valueChanged(int value);
    void on_spnTateRevPuncY_valueChanged(int value);
    void on_btnOk_clicked();
};

#endif

#include "dialogtextdetail.h"
#include "ui_dialogtextdetail.h"

#include "command.h"
#include "drawobject.h"

#include <QSignalBlocker>

DialogTextDetail::DialogTextDetail(QWidget* parent) : QDialog(parent), ui(new Ui::DialogTextDetail)
{
    ui->setupUi(this);
}

DialogTextDetail::~DialogTextDetail()
{
    delete ui;
}

void DialogTextDetail::setDrawObject(DrawObject* obj)
{
    if (!obj)
        return;
    const struct {
        QSpinBox* box;
        int value;
    } rows[] = {
        {ui->spnTateRevRotateX, obj->textTateRevRotateX}, {ui->spnTateRevRotateY, obj->textTateRevRotateY},
        {ui->spnTateRevMiniX, obj->textTateRevMiniX},     {ui->spnTateRevMiniY, obj->textTateRevMiniY},
        {ui->spnTateRevPuncX, obj->textTateRevPuncX},     {ui->spnTateRevPuncY, obj->textTateRevPuncY},
    };
    for (const auto& r : rows) {
        const QSignalBlocker block(r.box);
        r.box->setValue(r.value);
    }
}

void DialogTextDetail::on_spnTateRevRotateX_valueChanged(int value)
{
    emit textDetailChanged(CMD_OBJ_TEXT_TATE_REV_ROTATE_X_CHANGE, value);
}

void DialogTextDetail::on_spnTateRevRotateY_valueChanged(int value)
{
    emit textDetailChanged(CMD_OBJ_TEXT_TATE_REV_ROTATE_Y_CHANGE, value);
}

void DialogTextDetail::on_spnTateRevMiniX_valueChanged(int value)
{
    emit textDetailChanged(CMD_OBJ_TEXT_TATE_REV_MINI_X_CHANGE, value);
}

void DialogTextDetail::on_spnTateRevMiniY_valueChanged(int value)
{
    emit textDetailChanged(CMD_OBJ_TEXT_TATE_REV_MINI_Y_CHANGE, value);
}

void DialogTextDetail::on_spnTateRevPuncX_valueChanged(int value)
{
    emit textDetailChanged(CMD_OBJ_TEXT_TATE_REV_PUNC_X_CHANGE, value);
}

void DialogTextDetail::on_spnTateRevPuncY_valueChanged(int value)
{
    emit textDetailChanged(CMD_OBJ_TEXT_TATE_REV_PUNC_Y_CHANGE, value);
}

void DialogTextDetail::on_btnOk_clicked()
{
    accept();
}

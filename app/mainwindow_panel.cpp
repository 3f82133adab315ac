// The property panel: refill from an object, silent updates, colour buttons
// and the slots that turn every edit into one command on the selection.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "drawobject.h"
#include "uiseam.h"

#include <QColorDialog>
#include <QDebug>
#include <QDir>
#include <QFontDatabase>

namespace {

const QString BTN_COLOR_STYLE =
    "background-color:rgba(%1,%2,%3,%4);\nborder-radius:0px;\nborder:1px solid #6666cc;";

const int ALIGNS[9] = {33, 36, 34, 129, 132, 130, 65, 68, 66};

QString boolText(bool b)
{
    return b ? QStringLiteral("true") : QStringLiteral("false");
}

// Colour text as the object will hold it, so a button never shows a colour
// other than the field's.
QString normalColor(const QString& v)
{
    return DrawObject::colorToStr(DrawObject::strToColor(v));
}

} // namespace

void MainWindow::fillFontCombo()
{
    QStringList families = QFontDatabase().families();
    // Documents default to this family; list it even where it is only
    // substituted, so the default shows as the current item.
    if (!families.contains(DEF_FONT_NAME, Qt::CaseInsensitive)) {
        int at = 0;
        while (at < families.size() && families.at(at).compare(DEF_FONT_NAME, Qt::CaseInsensitive) < 0)
            ++at;
        families.insert(at, DEF_FONT_NAME);
    }
    const QSignalBlocker block(ui->cmbTextFont);
    ui->cmbTextFont->clear();
    ui->cmbTextFont->addItems(families);
    ui->cmbTextFont->setCurrentIndex(-1);
}

// ---- colour buttons ----

QString MainWindow::getStyleValue(QString style, QString begin, QString end)
{
    const int at = style.indexOf(begin);
    if (at < 0)
        return QString();
    const int start = at + begin.size();
    const int stop = style.indexOf(end, start);
    return stop < 0 ? style.mid(start) : style.mid(start, stop - start);
}

void MainWindow::setColorButtonColor(QPushButton* button, QString color)
{
    if (!button)
        return;
    const QStringList p = color.split(',');
    auto part = [&](int i) { return qBound(0, p.value(i).toInt(nullptr, 10), 255); };
    button->setStyleSheet(BTN_COLOR_STYLE.arg(part(0)).arg(part(1)).arg(part(2)).arg(part(3)));
}

QColor MainWindow::getColorButtonColor(QPushButton* button)
{
    if (!button)
        return QColor();
    return DrawObject::strToColor(getStyleValue(button->styleSheet(), "background-color:rgba(", ")"));
}

QColor MainWindow::ColorDialogShow(QPushButton* button)
{
    const QColor chosen = UiSeam::instance()->getColor(getColorButtonColor(button), this, "Color");
    if (chosen.isValid())
        setColorButtonColor(button, DrawObject::colorToStr(chosen));
    return chosen;
}

// ---- silent updates ----

void MainWindow::setValueSilent(QWidget* widget, QVariant value)
{
    if (!widget)
        return;
    const QSignalBlocker block(widget);
    const QString cls = widget->metaObject()->className();
    if (cls == "QCheckBox") {
        qDebug() << "typeid QCheckBox" << value;
        static_cast<QCheckBox*>(widget)->setChecked(value.toBool());
    } else if (cls == "QComboBox") {
        qDebug() << "typeid QComboBox" << value;
        static_cast<QComboBox*>(widget)->setCurrentIndex(value.toInt());
    } else if (cls == "QSpinBox") {
        qDebug() << "typeid QSpinBox" << value;
        auto* spin = static_cast<QSpinBox*>(widget);
        if (value.isValid())
            spin->setValue(value.toInt());
        else
            spin->clear();
    }
}

void MainWindow::setAlignRadio(int align)
{
    QRadioButton* radios[9] = {ui->radTextAlignTL, ui->radTextAlignTC, ui->radTextAlignTR,
                               ui->radTextAlignML, ui->radTextAlignMC, ui->radTextAlignMR,
                               ui->radTextAlignBL, ui->radTextAlignBC, ui->radTextAlignBR};
    for (int k = 0; k < 9; ++k) {
        if (ALIGNS[k] == align) {
            radios[k]->setChecked(true);
            return;
        }
    }
    // An unknown alignment checks none: exclusivity has to be lifted to uncheck.
    for (QRadioButton* r : radios) {
        r->setAutoExclusive(false);
        r->setChecked(false);
        r->setAutoExclusive(true);
    }
}

void MainWindow::setRuledLineBoxes(int bits)
{
    setValueSilent(ui->chkRuledLine_Top, bool(bits & 1));
    setValueSilent(ui->chkRuledLine_Left, bool(bits & 2));
    setValueSilent(ui->chkRuledLine_Right, bool(bits & 4));
    setValueSilent(ui->chkRuledLine_Bottom, bool(bits & 8));
    setValueSilent(ui->chkRuledLine_Slash, bool(bits & 16));
    setValueSilent(ui->chkRuledLine_BackSlash, bool(bits & 32));
}

// What a simple field code shows in the panel once it has been applied.
void MainWindow::refreshPanel(int type, const QString& v, int i, int partCount)
{
    const bool isTrueValue = v == QLatin1String("true");
    const int num = v.toInt(nullptr, 10);
    auto partRule = [&](QSpinBox* spin) {
        if (i == 0)
            setValueSilent(spin, partCount < 2 ? QVariant(num) : QVariant());
    };
    switch (type) {
    case CMD_OBJ_X_CHANGE: partRule(ui->spnX); break;
    case CMD_OBJ_Y_CHANGE: partRule(ui->spnY); break;
    case CMD_OBJ_R_CHANGE: partRule(ui->spnR); break;
    case CMD_OBJ_W_CHANGE: partRule(ui->spnW); break;
    case CMD_OBJ_H_CHANGE: partRule(ui->spnH); break;
    case CMD_OBJ_TEXT_CHANGE:
        if (ui->txtText->toPlainText() != v) {
            const QSignalBlocker block(ui->txtText);
            ui->txtText->setPlainText(v);
        }
        break;
    case CMD_OBJ_TEXT_COLOR_CHANGE: setColorButtonColor(ui->btnTextColor, normalColor(v)); break;
    case CMD_OBJ_TEXT_FONT_CHANGE:
        setValueSilent(ui->cmbTextFont, ui->cmbTextFont->findData(v, Qt::DisplayRole, Qt::MatchFixedString));
        break;
    case CMD_OBJ_TEXT_MARGIN_CHANGE: setValueSilent(ui->spnTextMargin, num); break;
    case CMD_OBJ_TEXT_SIZE_CHANGE: setValueSilent(ui->spnTextSize, num); break;
    case CMD_OBJ_TEXT_WEIGHT_CHANGE: ui->chkTextBold->setChecked(num == 75); break;
    case CMD_OBJ_TEXT_ITALIC_CHANGE: ui->chkTextItalic->setChecked(isTrueValue); break;
    case CMD_OBJ_TEXT_UNDERLINE_CHANGE: ui->chkTextUnderline->setChecked(isTrueValue); break;
    case CMD_OBJ_TEXT_STRIKEOUT_CHANGE: ui->chkTextStrikeout->setChecked(isTrueValue); break;
    case CMD_OBJ_TEXT_IMAGING_CHANGE: ui->chkTextImaging->setChecked(isTrueValue); break;
    case CMD_OBJ_TEXT_ALIGN_CHANGE: setAlignRadio(num); break;
    case CMD_OBJ_TEXT_LINE_SPACING_CHANGE: setValueSilent(ui->spnTextLineSpacing, num); break;
    case CMD_OBJ_TEXT_WORD_SPACING_CHANGE: setValueSilent(ui->spnTextWordSpacing, num); break;
    case CMD_OBJ_TEXT_TATEGAKI_CHANGE:
        setValueSilent(ui->cmbTextDirection, isTrueValue ? 1 : 0);
        ui->btnTextDetail->setVisible(isTrueValue);
        break;
    case CMD_OBJ_TEXT_EDGE_COLOR_CHANGE: setColorButtonColor(ui->btnEdgeColor, normalColor(v)); break;
    case CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE: partRule(ui->spnEdgeWidth); break;
    case CMD_OBJ_SHAPE_DATA_CHANGE: setShapeData(v); break;
    case CMD_OBJ_BG_COLOR_CHANGE: setColorButtonColor(ui->btnBgColor, normalColor(v)); break;
    case CMD_OBJ_BG_COLOR_ENABLED_CHANGE: setValueSilent(ui->chkBgColor, !isTrueValue); break;
    case CMD_OBJ_BG_RADIUS_CHANGE: setValueSilent(ui->spnBgRadius, num); break;
    case CMD_OBJ_BORDER_COLOR_CHANGE: setColorButtonColor(ui->btnBorderColor, normalColor(v)); break;
    case CMD_OBJ_BORDER_STYLE_CHANGE: setValueSilent(ui->cmbBorderStyle, num); break;
    case CMD_OBJ_BORDER_WIDTH_CHANGE: setValueSilent(ui->spnBorderWidth, num); break;
    case CMD_OBJ_RULEDLINE_COLOR_CHANGE: setColorButtonColor(ui->btnRuledLineColor, normalColor(v)); break;
    case CMD_OBJ_RULEDLINE_STYLE_CHANGE: setValueSilent(ui->cmbRuledLineStyle, num); break;
    case CMD_OBJ_RULEDLINE_WIDTH_CHANGE: setValueSilent(ui->spnRuledLineWidth, num); break;
    case CMD_OBJ_IMG_RATIO_KEEP_CHANGE: ui->chkImgRatioKeep->setChecked(isTrueValue); break;
    case CMD_OBJ_IMG_CENTER_CHANGE: ui->chkImgCenter->setChecked(isTrueValue); break;
    default: break;
    }
}

void MainWindow::refillPanel(DrawObject* o)
{
    if (!o)
        return;
    // Three levels below each page: page > stack > stack page > widget.
    QList<QObject*> blocked;
    for (int p = 0; p < ui->tabwgtObject->count(); ++p) {
        QList<QObject*> level = ui->tabwgtObject->widget(p)->children();
        for (int depth = 0; depth < 3; ++depth) {
            QList<QObject*> next;
            for (QObject* c : level) {
                if (!c->signalsBlocked()) {
                    c->blockSignals(true);
                    blocked << c;
                }
                next << c->children();
            }
            level = next;
        }
    }

    ui->spnX->setValue(o->x);
    ui->spnY->setValue(o->y);
    ui->spnZ->setValue(getObjectZ(o));
    ui->spnR->setValue(o->r);
    ui->spnW->setValue(o->w);
    ui->spnH->setValue(o->h);
    ui->txtText->setPlainText(o->text);
    setColorButtonColor(ui->btnTextColor, DrawObject::colorToStr(o->textColor));
    ui->spnTextSize->setValue(o->textSize);
    ui->spnTextLineSpacing->setValue(o->textLineSpacing);
    ui->spnTextWordSpacing->setValue(o->textWordSpacing);
    ui->spnTextMargin->setValue(o->textMargin);
    ui->cmbTextFont->setCurrentIndex(ui->cmbTextFont->findData(o->textFont, Qt::DisplayRole, Qt::MatchFixedString));
    ui->chkTextBold->setChecked(o->textWeight == 75);
    ui->chkTextItalic->setChecked(o->textItalic);
    ui->chkTextUnderline->setChecked(o->textUnderline);
    ui->chkTextStrikeout->setChecked(o->textStrikeout);
    ui->chkTextImaging->setChecked(o->textImaging);
    ui->cmbTextDirection->setCurrentIndex(o->textTategaki ? 1 : 0);
    ui->btnTextDetail->setVisible(o->textTategaki);
    setAlignRadio(o->textAlign);
    setColorButtonColor(ui->btnEdgeColor, DrawObject::colorToStr(o->textEdgeColor));
    ui->spnEdgeWidth->setValue(o->textEdgeWidth);
    setShapeData(o->shapeData);
    setColorButtonColor(ui->btnBgColor, DrawObject::colorToStr(o->bgColor));
    ui->chkBgColor->setChecked(!o->bgColorEnabled);
    ui->spnBgRadius->setValue(o->bgRadius);
    setColorButtonColor(ui->btnBorderColor, DrawObject::colorToStr(o->borderColor));
    ui->cmbBorderStyle->setCurrentIndex(o->borderStyle);
    ui->spnBorderWidth->setValue(o->borderWidth);
    setColorButtonColor(ui->btnRuledLineColor, DrawObject::colorToStr(o->ruledlineColor));
    ui->cmbRuledLineStyle->setCurrentIndex(o->ruledlineStyle);
    ui->spnRuledLineWidth->setValue(o->ruledlineWidth);
    setRuledLineBoxes(o->ruledline);
    ui->txtImgPath->setText(QDir::toNativeSeparators(o->imgPath));
    ui->chkImgRatioKeep->setChecked(o->imgRatioKeep);
    ui->chkImgCenter->setChecked(o->imgCenter);
    const bool showLink = mListSelected.size() == 1 && o->isTextLinked();
    ui->btnTextLinkOnOff->setVisible(showLink);
    ui->chkTextLinkShareConf->setChecked(o->textLinkShareConf);
    ui->chkTextLinkShareConf->setVisible(showLink);
    ui->btnDelObj->setEnabled(true);
    ui->wgtObj->setEnabled(true);

    for (QObject* c : blocked)
        c->blockSignals(false);

    bool anyLinked = false;
    for (DrawObject* s : mListSelected)
        anyLinked = anyLinked || s->isTextLinked();
    ui->txtText->setEnabled(!(mListSelected.size() >= 2 && anyLinked));
}

// ---- slots: one command on the selection each ----

void MainWindow::sendPanelCmd(int type, const QString& value)
{
    Command* cmd = createCmd(nullptr);
    cmd->type = type;
    cmd->value = value;
    execCmd(cmd, true, 0);
}

void MainWindow::on_spnX_valueChanged(int value) { sendPanelCmd(CMD_OBJ_X_CHANGE, QString::number(value)); }
void MainWindow::on_spnY_valueChanged(int value) { sendPanelCmd(CMD_OBJ_Y_CHANGE, QString::number(value)); }
void MainWindow::on_spnR_valueChanged(int value) { sendPanelCmd(CMD_OBJ_R_CHANGE, QString::number(value)); }
void MainWindow::on_spnW_valueChanged(int value) { sendPanelCmd(CMD_OBJ_W_CHANGE, QString::number(value)); }
void MainWindow::on_spnH_valueChanged(int value) { sendPanelCmd(CMD_OBJ_H_CHANGE, QString::number(value)); }

void MainWindow::on_spnZ_valueChanged(int value)
{
    sendPanelCmd(CMD_OBJ_Z_CHANGE, QString("%1,%2").arg(ui->tabwgtMain->currentIndex()).arg(value));
}

void MainWindow::on_txtText_textChanged()
{
    if (mListSelected.isEmpty())
        return;
    // The per-object separator must never enter a text: undo records split on it.
    QString text = ui->txtText->toPlainText();
    text.remove(Command::SEPA_OBJVAL);
    if (text == mListSelected.first()->text)
        return;
    sendPanelCmd(CMD_OBJ_TEXT_CHANGE, text);
}

void MainWindow::on_cmbTextFont_currentIndexChanged(int)
{
    sendPanelCmd(CMD_OBJ_TEXT_FONT_CHANGE, ui->cmbTextFont->currentText());
}

void MainWindow::on_spnTextSize_valueChanged(int value) { sendPanelCmd(CMD_OBJ_TEXT_SIZE_CHANGE, QString::number(value)); }
void MainWindow::on_spnTextMargin_valueChanged(int value) { sendPanelCmd(CMD_OBJ_TEXT_MARGIN_CHANGE, QString::number(value)); }
void MainWindow::on_spnTextLineSpacing_valueChanged(int value)
{
    sendPanelCmd(CMD_OBJ_TEXT_LINE_SPACING_CHANGE, QString::number(value));
}
void MainWindow::on_spnTextWordSpacing_valueChanged(int value)
{
    sendPanelCmd(CMD_OBJ_TEXT_WORD_SPACING_CHANGE, QString::number(value));
}

void MainWindow::sendColorCmd(QPushButton* button, int type)
{
    // The dialog shows the choice on the button at once; a cancel sends nothing.
    const QColor c = ColorDialogShow(button);
    if (c.isValid())
        sendPanelCmd(type, DrawObject::colorToStr(c));
}

void MainWindow::on_btnTextColor_clicked()
{
    sendColorCmd(ui->btnTextColor, CMD_OBJ_TEXT_COLOR_CHANGE);
}

void MainWindow::on_radTextAlignTL_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[0])); }
void MainWindow::on_radTextAlignTC_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[1])); }
void MainWindow::on_radTextAlignTR_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[2])); }
void MainWindow::on_radTextAlignML_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[3])); }
void MainWindow::on_radTextAlignMC_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[4])); }
void MainWindow::on_radTextAlignMR_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[5])); }
void MainWindow::on_radTextAlignBL_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[6])); }
void MainWindow::on_radTextAlignBC_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[7])); }
void MainWindow::on_radTextAlignBR_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ALIGN_CHANGE, QString::number(ALIGNS[8])); }

void MainWindow::on_chkTextBold_clicked()
{
    sendPanelCmd(CMD_OBJ_TEXT_WEIGHT_CHANGE, ui->chkTextBold->isChecked() ? "75" : "50");
}
void MainWindow::on_chkTextItalic_clicked() { sendPanelCmd(CMD_OBJ_TEXT_ITALIC_CHANGE, boolText(ui->chkTextItalic->isChecked())); }
void MainWindow::on_chkTextUnderline_clicked()
{
    sendPanelCmd(CMD_OBJ_TEXT_UNDERLINE_CHANGE, boolText(ui->chkTextUnderline->isChecked()));
}
void MainWindow::on_chkTextStrikeout_clicked()
{
    sendPanelCmd(CMD_OBJ_TEXT_STRIKEOUT_CHANGE, boolText(ui->chkTextStrikeout->isChecked()));
}
void MainWindow::on_chkTextImaging_clicked()
{
    sendPanelCmd(CMD_OBJ_TEXT_IMAGING_CHANGE, boolText(ui->chkTextImaging->isChecked()));
}

void MainWindow::on_cmbTextDirection_currentIndexChanged(int index)
{
    sendPanelCmd(CMD_OBJ_TEXT_TATEGAKI_CHANGE, boolText(index == 1));
}

void MainWindow::on_btnEdgeColor_clicked()
{
    sendColorCmd(ui->btnEdgeColor, CMD_OBJ_TEXT_EDGE_COLOR_CHANGE);
}

void MainWindow::on_spnEdgeWidth_valueChanged(int value) { sendPanelCmd(CMD_OBJ_TEXT_EDGE_WIDTH_CHANGE, QString::number(value)); }

void MainWindow::on_btnBgColor_clicked()
{
    sendColorCmd(ui->btnBgColor, CMD_OBJ_BG_COLOR_CHANGE);
}

void MainWindow::on_chkBgColor_stateChanged(int state)
{
    // Ticked means no background.
    sendPanelCmd(CMD_OBJ_BG_COLOR_ENABLED_CHANGE, boolText(state != Qt::Checked));
}

void MainWindow::on_spnBgRadius_valueChanged(int value) { sendPanelCmd(CMD_OBJ_BG_RADIUS_CHANGE, QString::number(value)); }

void MainWindow::on_btnBorderColor_clicked()
{
    sendColorCmd(ui->btnBorderColor, CMD_OBJ_BORDER_COLOR_CHANGE);
}

void MainWindow::on_cmbBorderStyle_currentIndexChanged(int index)
{
    sendPanelCmd(CMD_OBJ_BORDER_STYLE_CHANGE, QString::number(index));
}

void MainWindow::on_spnBorderWidth_valueChanged(int value) { sendPanelCmd(CMD_OBJ_BORDER_WIDTH_CHANGE, QString::number(value)); }

void MainWindow::on_btnRuledLineColor_clicked()
{
    sendColorCmd(ui->btnRuledLineColor, CMD_OBJ_RULEDLINE_COLOR_CHANGE);
}

void MainWindow::on_cmbRuledLineStyle_currentIndexChanged(int index)
{
    sendPanelCmd(CMD_OBJ_RULEDLINE_STYLE_CHANGE, QString::number(index));
}

void MainWindow::on_spnRuledLineWidth_valueChanged(int value)
{
    sendPanelCmd(CMD_OBJ_RULEDLINE_WIDTH_CHANGE, QString::number(value));
}

static QString ruledLineValue(int state, int bit)
{
    return QString::number(state == Qt::Checked ? bit : -bit);
}

void MainWindow::on_chkRuledLine_Top_stateChanged(int state) { sendPanelCmd(CMD_OBJ_RULEDLINE_CHANGE, ruledLineValue(state, 1)); }
void MainWindow::on_chkRuledLine_Bottom_stateChanged(int state) { sendPanelCmd(CMD_OBJ_RULEDLINE_CHANGE, ruledLineValue(state, 8)); }
void MainWindow::on_chkRuledLine_Left_stateChanged(int state) { sendPanelCmd(CMD_OBJ_RULEDLINE_CHANGE, ruledLineValue(state, 2)); }
void MainWindow::on_chkRuledLine_Right_stateChanged(int state) { sendPanelCmd(CMD_OBJ_RULEDLINE_CHANGE, ruledLineValue(state, 4)); }
void MainWindow::on_chkRuledLine_Slash_stateChanged(int state) { sendPanelCmd(CMD_OBJ_RULEDLINE_CHANGE, ruledLineValue(state, 16)); }
void MainWindow::on_chkRuledLine_BackSlash_stateChanged(int state)
{
    sendPanelCmd(CMD_OBJ_RULEDLINE_CHANGE, ruledLineValue(state, 32));
}

void MainWindow::on_chkImgRatioKeep_clicked()
{
    sendPanelCmd(CMD_OBJ_IMG_RATIO_KEEP_CHANGE, boolText(ui->chkImgRatioKeep->isChecked()));
}
void MainWindow::on_chkImgCenter_clicked() { sendPanelCmd(CMD_OBJ_IMG_CENTER_CHANGE, boolText(ui->chkImgCenter->isChecked())); }

void MainWindow::on_chkTextLinkShareConf_clicked()
{
    sendPanelCmd(CMD_OBJ_TEXT_LINK_SHARE_CONF_CHANGE, boolText(ui->chkTextLinkShareConf->isChecked()));
}

void MainWindow::on_btnTextLinkOnOff_clicked()
{
    // Only shows that the box is linked.
}

void MainWindow::textDetailChanged(int cmd_type, int val)
{
    if (cmd_type < CMD_OBJ_TEXT_TATE_REV_ROTATE_X_CHANGE || cmd_type > CMD_OBJ_TEXT_TATE_REV_PUNC_Y_CHANGE)
        return; // the dialog only ever corrects the vertical-writing offsets
    sendPanelCmd(cmd_type, QString::number(val));
}

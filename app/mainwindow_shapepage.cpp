// The shape page of the property panel: shows and builds the shape-data text.
#include "mainwindow.h"
#include "ui_mainwindow.h"

#include "command.h"
#include "drawobject.h"
#include "shapes.h"

namespace {

// The widgets of one kind's page; null where the page has no such key.
struct ShapeWidgets {
    QWidget* page = nullptr;
    QPushButton* body = nullptr;
    QPushButton* line = nullptr;
    QSpinBox* width = nullptr;
    QComboBox* style = nullptr;
    QSpinBox* count = nullptr;
    QCheckBox* ellipse = nullptr;
    QCheckBox* mold = nullptr;
    QRadioButton* dir[4] = {nullptr, nullptr, nullptr, nullptr}; // N, E, W, S
    QSpinBox* radius = nullptr;
    QSpinBox* sippoP = nullptr;
    QSpinBox* sippoW = nullptr;
    QSpinBox* sippoH = nullptr;
};

ShapeWidgets widgetsOfKind(Ui::MainWindow* ui, int kind)
{
    ShapeWidgets w;
    switch (kind) {
    case 1:
    case 2:
        w.page = ui->pageShapeLine;
        w.line = ui->btnShapeLineColor;
        w.style = ui->cmbShapeLineStyle;
        w.width = ui->spnShapeLineWidth;
        w.count = ui->spnShapeLineCount;
        break;
    case 3:
        w.page = ui->pageShapeCircle;
        w.body = ui->btnShapeCircleColor;
        w.line = ui->btnShapeCircleLineColor;
        w.width = ui->spnShapeCircleLineWidth;
        w.ellipse = ui->chkShapeCircleIsEllipse;
        w.mold = ui->chkShapeCircleMoldCut;
        break;
    case 4:
        w.page = ui->pageShapeStar;
        w.body = ui->btnShapeStarColor;
        w.line = ui->btnShapeStarLineColor;
        w.width = ui->spnShapeStarLineWidth;
        w.mold = ui->chkShapeStarMoldCut;
        break;
    case 5:
        w.page = ui->pageShapeHeart;
        w.body = ui->btnShapeHeartColor;
        w.line = ui->btnShapeHeartLineColor;
        w.width = ui->spnShapeHeartLineWidth;
        w.mold = ui->chkShapeHeartMoldCut;
        break;
    case 6:
        w.page = ui->pageShapeTriangle;
        w.body = ui->btnShapeTriangleColor;
        w.line = ui->btnShapeTriangleLineColor;
        w.width = ui->spnShapeTriangleLineWidth;
        w.mold = ui->chkShapeTriangleMoldCut;
        w.dir[0] = ui->radShapeTriangleDirection_N;
        w.dir[1] = ui->radShapeTriangleDirection_E;
        w.dir[2] = ui->radShapeTriangleDirection_W;
        w.dir[3] = ui->radShapeTriangleDirection_S;
        break;
    case 7:
        w.page = ui->pageShapeDiamond;
        w.body = ui->btnShapeDiamondColor;
        w.line = ui->btnShapeDiamondLineColor;
        w.width = ui->spnShapeDiamondLineWidth;
        w.mold = ui->chkShapeDiamondMoldCut;
        break;
    case 8:
        w.page = ui->pageShapeHukidasi;
        w.body = ui->btnShapeHukidasiColor;
        w.line = ui->btnShapeHukidasiLineColor;
        w.width = ui->spnShapeHukidasiLineWidth;
        w.mold = ui->chkShapeHukidasiMoldCut;
        w.radius = ui->spnShapeHukidasiRadius;
        w.dir[0] = ui->radShapeHukidasiDirection_N;
        w.dir[1] = ui->radShapeHukidasiDirection_E;
        w.dir[2] = ui->radShapeHukidasiDirection_W;
        w.dir[3] = ui->radShapeHukidasiDirection_S;
        w.sippoP = ui->spnShapeHukidasiPosition;
        w.sippoW = ui->spnShapeHukidasiWidth;
        w.sippoH = ui->spnShapeHukidasiHeight;
        break;
    default:
        w.page = ui->pageShapeNone;
        break;
    }
    return w;
}

const char DIRS[4] = {'N', 'E', 'W', 'S'};

} // namespace

QString MainWindow::getShapeData(bool useDefaults)
{
    const int kind = shapeComboIndexToKind(ui->cmbShape->currentIndex());
    QString out = QString("Shape=%1;").arg(kind);
    const ShapeWidgets w = widgetsOfKind(ui, kind);
    for (const ShapeKey& k : shapeKeyDefaults(kind)) {
        const QString key = k.key;
        QString value = k.value;
        if (!useDefaults) {
            if (key == "BodyColor")
                value = DrawObject::colorToStr(getColorButtonColor(w.body));
            else if (key == "LineColor")
                value = DrawObject::colorToStr(getColorButtonColor(w.line));
            else if (key == "LineStyle")
                value = QString::number(w.style->currentIndex());
            else if (key == "LineWidth")
                value = QString::number(w.width->value());
            else if (key == "LineCount")
                value = QString::number(w.count->value());
            else if (key == "IsEllipse")
                value = w.ellipse->isChecked() ? "true" : "false";
            else if (key == "MoldCut")
                value = w.mold->isChecked() ? "inside" : "none";
            else if (key == "Radius")
                value = QString::number(w.radius->value());
            else if (key == "SippoP")
                value = QString::number(w.sippoP->value());
            else if (key == "SippoW")
                value = QString::number(w.sippoW->value());
            else if (key == "SippoH")
                value = QString::number(w.sippoH->value());
            else if (key == "Direction") {
                value.clear();
                for (int d = 0; d < 4 && value.isEmpty(); ++d)
                    if (w.dir[d]->isChecked())
                        value = QString(QChar(DIRS[d]));
            }
        }
        out += key + "=" + value + ";";
    }
    return out;
}

void MainWindow::setShapeData(QString data)
{
    const int kind = DrawObject::findValue("Shape", data, QString()).toInt(nullptr, 10);
    {
        const QSignalBlocker block(ui->cmbShape);
        ui->cmbShape->setCurrentIndex(shapeKindToComboIndex(kind));
    }
    const ShapeWidgets w = widgetsOfKind(ui, kind);
    ui->stkShape->setCurrentWidget(w.page);
    QList<QWidget*> quiet;
    for (QWidget* c : w.page->findChildren<QWidget*>())
        if (!c->signalsBlocked()) {
            c->blockSignals(true);
            quiet << c;
        }

    auto num = [&](const char* key, const char* def) { return DrawObject::findValue(key, data, def).toInt(nullptr, 10); };
    if (w.body)
        setColorButtonColor(w.body, DrawObject::findValue("BodyColor", data, QString()));
    if (w.line)
        setColorButtonColor(w.line, DrawObject::findValue("LineColor", data, QString()));
    if (w.width)
        w.width->setValue(num("LineWidth", ""));
    if (w.style)
        w.style->setCurrentIndex(num("LineStyle", ""));
    if (w.count)
        w.count->setValue(num("LineCount", "1"));
    if (w.ellipse)
        w.ellipse->setChecked(DrawObject::findValue("IsEllipse", data, QString()) == "true");
    if (w.mold)
        w.mold->setChecked(DrawObject::findValue("MoldCut", data, QString()) == "inside");
    if (w.radius)
        w.radius->setValue(num("Radius", ""));
    if (w.sippoP)
        w.sippoP->setValue(num("SippoP", ""));
    if (w.sippoW)
        w.sippoW->setValue(num("SippoW", ""));
    if (w.sippoH)
        w.sippoH->setValue(num("SippoH", ""));
    const QString dir = DrawObject::findValue("Direction", data, QString());
    for (int d = 0; d < 4; ++d)
        if (w.dir[d] && dir == QString(QChar(DIRS[d])))
            w.dir[d]->setChecked(true);
    for (QWidget* c : quiet)
        c->blockSignals(false);
}

void MainWindow::shapeDataChanged(bool useDefaults)
{
    sendPanelCmd(CMD_OBJ_SHAPE_DATA_CHANGE, getShapeData(useDefaults));
}
